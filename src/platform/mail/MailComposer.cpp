#include "platform/mail/MailComposer.h"

#include <unistd.h>

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <ctime>
#include <filesystem>
#include <mutex>

#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"

namespace mail {

namespace fs = std::filesystem;

namespace {

struct TestHook {
    std::mutex mutex;
    MailComposer::Recorder recorder;
};

TestHook& testHook()
{
    static TestHook hook;
    return hook;
}

fs::path outbox() { return fnd::Paths::documents() / "Outbox"; }

bool isAscii(const std::string& text)
{
    for (const unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// Header values never carry line breaks: they would start new headers.
std::string oneLine(const std::string& text)
{
    std::string result;
    for (const char c : text)
        result += (c == '\r' || c == '\n') ? ' ' : c;
    return result;
}

std::string base64(const std::string& bytes)
{
    const QByteArray encoded = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64();
    return std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}

// Base64 in lines of 76 characters, as MIME wants.
std::string base64Lines(const std::string& bytes)
{
    const std::string encoded = base64(bytes);
    std::string result;
    for (std::size_t i = 0; i < encoded.size(); i += 76)
        result += encoded.substr(i, 76) + "\r\n";
    return result;
}

// A header text: as it is when plain ASCII, else an RFC 2047 encoded word.
std::string headerText(const std::string& text)
{
    const std::string line = oneLine(text);
    return isAscii(line) ? line : "=?UTF-8?B?" + base64(line) + "?=";
}

std::string quoted(const std::string& text)
{
    std::string result = "\"";
    for (const char c : headerText(text)) {
        if (c == '"' || c == '\\')
            result += '\\';
        result += c;
    }
    return result + "\"";
}

std::string mailDate(double secondsSince1970)
{
    const auto seconds = static_cast<std::time_t>(secondsSince1970);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    const long offset = tm.tm_gmtoff / 60;
    const long absolute = offset < 0 ? -offset : offset;
    return fnd::DateFormatter("EEE, d MMM yyyy HH:mm:ss").stringFromDate(fnd::Date{secondsSince1970}) +
           fnd::format(" %c%02ld%02ld", offset < 0 ? '-' : '+', absolute / 60, absolute % 60);
}

std::string joined(const std::vector<std::string>& items)
{
    std::string result;
    for (const auto& item : items)
        result += (result.empty() ? "" : ", ") + oneLine(item);
    return result;
}

std::string mimeMessage(const MailMessage& message, const fnd::Date& date)
{
    const std::string boundary = fnd::format("=_norvale_%.0f_%d", date.secondsSince1970 * 1000, ::getpid());
    std::string eml;
    eml += "From: Norvale <norvale@localhost>\r\n";
    if (!message.toRecipients.empty())
        eml += "To: " + joined(message.toRecipients) + "\r\n";
    eml += "Subject: " + headerText(message.subject) + "\r\n";
    eml += "Date: " + mailDate(date.secondsSince1970) + "\r\n";
    eml += "MIME-Version: 1.0\r\n";
    eml += "X-Unsent: 1\r\n";
    eml += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    eml += "--" + boundary + "\r\n";
    eml += std::string("Content-Type: ") + (message.bodyIsHTML ? "text/html" : "text/plain") + "; charset=UTF-8\r\n";
    eml += "Content-Transfer-Encoding: base64\r\n\r\n";
    eml += base64Lines(message.body);
    for (const auto& attachment : message.attachments) {
        eml += "--" + boundary + "\r\n";
        eml += "Content-Type: " + oneLine(attachment.mimeType) + "; name=" + quoted(attachment.fileName) + "\r\n";
        eml += "Content-Disposition: attachment; filename=" + quoted(attachment.fileName) + "\r\n";
        eml += "Content-Transfer-Encoding: base64\r\n\r\n";
        eml += base64Lines(attachment.data);
    }
    eml += "--" + boundary + "--\r\n";
    return eml;
}

// A file name that stays inside its folder.
std::string safeFileName(const std::string& name)
{
    std::string result;
    for (const char c : oneLine(name))
        result += (c == '/' || c == '\0') ? '_' : c;
    while (!result.empty() && result.front() == '.')
        result.erase(0, 1);
    return result.empty() ? "attachment" : result;
}

fs::path freshEmlPath(const fnd::Date& date)
{
    const std::string stamp = fnd::DateFormatter("yyyy-MM-dd HH.mm.ss").stringFromDate(date);
    std::error_code error;
    for (int n = 1;; ++n) {
        const fs::path candidate = outbox() / ("Message " + stamp + (n > 1 ? fnd::format(" %d", n) : "") + ".eml");
        if (!fs::exists(candidate, error))
            return candidate;
    }
}

// Hands the message to the desktop's mail client, detached: the attachments go
// as files in a folder beside the .eml copy.
void launchMailClient(const MailMessage& message, const fs::path& eml)
{
    const QString program = QStandardPaths::findExecutable("xdg-email");
    if (program.isEmpty()) {
        fnd::log(fnd::LogLevel::Info, "no mail client (xdg-email); the message is kept as " + eml.string());
        return;
    }
    QStringList arguments{"--utf8", "--subject", QString::fromStdString(oneLine(message.subject)), "--body",
                          QString::fromStdString(message.body)};
    fs::path folder = eml;
    folder.replace_extension();
    for (const auto& attachment : message.attachments) {
        const fs::path file = folder / safeFileName(attachment.fileName);
        if (fnd::writeFileAtomically(file, attachment.data))
            arguments << "--attach" << QString::fromStdString(file.string());
    }
    for (const auto& recipient : message.toRecipients)
        arguments << QString::fromStdString(oneLine(recipient));
    if (!QProcess::startDetached(program, arguments))
        fnd::log(fnd::LogLevel::Warning, "could not start xdg-email; the message is kept as " + eml.string());
}

}  // namespace

bool MailComposer::canSendMail()
{
    std::error_code error;
    const fs::path folder = outbox();
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0;
}

MailComposer::MailComposer() = default;

MailComposer::~MailComposer() = default;

void MailComposer::setDelegate(MailComposeDelegate* delegate) { delegate_ = delegate; }

void MailComposer::setSubject(const std::string& subject) { message_.subject = subject; }

void MailComposer::setToRecipients(const std::vector<std::string>& recipients) { message_.toRecipients = recipients; }

void MailComposer::setMessageBody(const std::string& body, bool isHTML)
{
    message_.body = body;
    message_.bodyIsHTML = isHTML;
}

void MailComposer::addAttachmentData(const std::string& bytes, const std::string& mimeType,
                                     const std::string& fileName)
{
    message_.attachments.push_back({bytes, mimeType, fileName});
}

void MailComposer::present()
{
    const fnd::Date date = fnd::Date::now();
    const fs::path eml = freshEmlPath(date);
    const bool saved = fnd::writeFileAtomically(eml, mimeMessage(message_, date));
    savedFile_ = saved ? eml.string() : std::string();

    Recorder recorder;
    {
        auto& hook = testHook();
        const std::lock_guard lock(hook.mutex);
        recorder = hook.recorder;
    }
    MailComposeResult result = saved ? MailComposeResult::Saved : MailComposeResult::Failed;
    if (recorder) {
        const MailComposeResult recorded = recorder(message_, savedFile_);
        if (saved)
            result = recorded;
    } else if (saved) {
        launchMailClient(message_, eml);
    }

    fnd::DispatchQueue::main().async([this, alive = std::weak_ptr<bool>(alive_), result] {
        if (alive.expired() || delegate_ == nullptr)
            return;
        delegate_->mailComposeControllerDidFinish(*this, result);
    });
}

void MailComposer::setTestRecorder(Recorder recorder)
{
    auto& hook = testHook();
    const std::lock_guard lock(hook.mutex);
    hook.recorder = std::move(recorder);
}

}  // namespace mail
