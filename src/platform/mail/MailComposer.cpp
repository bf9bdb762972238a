#include "platform/mail/MailComposer.h"

#include <unistd.h>

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <ctime>
#include <filesystem>
#include <memory>
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

struct Hooks {
    std::mutex mutex;
    MailComposer::Recorder recorder;
    MailComposer::HandOffFailedHandler failed;
    int handOffs = 0;  // xdg-email runs not ended yet
};

Hooks& hooks()
{
    static Hooks hook;
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

void countHandOff(int change)
{
    auto& hook = hooks();
    const std::lock_guard lock(hook.mutex);
    hook.handOffs += change;
}

// Tells the application (which tells the user) that a message did not reach the mail client.
void reportHandOffFailure(const std::string& reason, const fs::path& eml)
{
    fnd::log(fnd::LogLevel::Warning, "the mail was not handed to a mail client (" + reason + "); it is kept as " +
                                         eml.string());
    MailComposer::HandOffFailedHandler handler;
    {
        auto& hook = hooks();
        const std::lock_guard lock(hook.mutex);
        handler = hook.failed;
    }
    if (handler)
        handler({reason, eml.string()});
}

constexpr std::size_t keptErrorBytes = 4096;

// Why xdg-email gave up, from its exit code and what it wrote on its error output.
std::string handOffProblem(int exitCode, const std::string& errors)
{
    switch (exitCode) {
    case 2:
        return "an attachment could not be found";
    case 3:
        return "no mail client is set up on this computer";
    case 4:
        return "the mail client could not be opened";
    default:
        break;
    }
    std::string line = errors.substr(0, errors.find('\n'));
    if (const std::string prefix = "xdg-email: "; line.starts_with(prefix))
        line.erase(0, prefix.size());
    return line.empty() ? fnd::format("xdg-email ended with code %d", exitCode) : "xdg-email: " + line;
}

// The arguments for xdg-email. It refuses an option followed by an empty text (a message without a body
// must leave --body out) and any address it cannot read as one.
QStringList handOffArguments(const MailMessage& message, const std::vector<fs::path>& files)
{
    QStringList arguments{"--utf8"};
    if (const std::string subject = oneLine(message.subject); !subject.empty())
        arguments << "--subject" << QString::fromStdString(subject);
    if (!message.body.empty())
        arguments << "--body" << QString::fromStdString(message.body);
    for (const fs::path& file : files)
        arguments << "--attach" << QString::fromStdString(file.string());
    for (const auto& recipient : message.toRecipients) {
        const std::string address = oneLine(recipient);
        if (address.find('@') != std::string::npos && !address.starts_with('-'))
            arguments << QString::fromStdString(address);
    }
    return arguments;
}

// Hands the message to the desktop's mail client: the attachments go as files in a folder beside the
// .eml copy. xdg-email runs on its own; a failure is reported when it ends.
void launchMailClient(const MailMessage& message, const fs::path& eml)
{
    const QString program = QStandardPaths::findExecutable("xdg-email");
    if (program.isEmpty()) {
        reportHandOffFailure("xdg-email, which hands mail to the desktop's mail client, is not installed", eml);
        return;
    }
    fs::path folder = eml;
    folder.replace_extension();
    std::vector<fs::path> files;
    for (const auto& attachment : message.attachments) {
        const fs::path file = folder / safeFileName(attachment.fileName);
        // A mail never goes without its attachment.
        if (!fnd::writeFileAtomically(file, attachment.data)) {
            reportHandOffFailure("the attachment " + file.filename().string() + " could not be written", eml);
            return;
        }
        files.push_back(file);
    }
    // Deleting a running process kills it, and with it the mail client it may be running: so it has no
    // owner, is deleted when it ends, and is left to run when Norvale quits first.
    auto* process = new QProcess();
    process->setStandardOutputFile(QProcess::nullDevice());
    countHandOff(+1);
    // Its error output is taken as it comes and only its start kept: the first line is all that is told.
    auto errors = std::make_shared<std::string>();
    const auto takeErrors = [process, errors] {
        const QByteArray bytes = process->readAllStandardError();
        if (errors->size() < keptErrorBytes)
            errors->append(bytes.left(static_cast<qsizetype>(keptErrorBytes - errors->size())).toStdString());
    };
    QObject::connect(process, &QProcess::readyReadStandardError, process, takeErrors);
    QObject::connect(process, &QProcess::finished, process,
                     [process, eml, errors, takeErrors](int exitCode, QProcess::ExitStatus status) {
                         takeErrors();
                         process->deleteLater();
                         countHandOff(-1);
                         if (status == QProcess::CrashExit)
                             reportHandOffFailure("xdg-email stopped unexpectedly", eml);
                         else if (exitCode != 0)
                             reportHandOffFailure(handOffProblem(exitCode, *errors), eml);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, eml](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;  // the others end in finished()
        process->deleteLater();
        countHandOff(-1);
        reportHandOffFailure("xdg-email could not be started", eml);
    });
    process->start(program, handOffArguments(message, files));
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
        auto& hook = hooks();
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

void MailComposer::setHandOffFailedHandler(HandOffFailedHandler handler)
{
    auto& hook = hooks();
    const std::lock_guard lock(hook.mutex);
    hook.failed = std::move(handler);
}

int MailComposer::handOffsInProgress()
{
    auto& hook = hooks();
    const std::lock_guard lock(hook.mutex);
    return hook.handOffs;
}

void MailComposer::setTestRecorder(Recorder recorder)
{
    auto& hook = hooks();
    const std::lock_guard lock(hook.mutex);
    hook.recorder = std::move(recorder);
}

}  // namespace mail
