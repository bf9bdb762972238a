#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/RunLoop.h"
#include "platform/mail/MailComposer.h"
#include "support/FakeMailClient.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using mail::MailComposer;
using mail::MailComposeResult;

// A MIME part: headers (names lower-cased) and its body, decoded from base64.
struct Part {
    std::map<std::string, std::string> headers;
    std::string body;
};

std::string base64Decode(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (const char c : text) {
        const auto index = alphabet.find(c);
        if (index == std::string::npos)
            continue;  // line breaks and padding
        buffer = (buffer << 6) | static_cast<unsigned>(index);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

Part parsePart(const std::string& text)
{
    Part part;
    const auto split = text.find("\r\n\r\n");
    std::istringstream headers(text.substr(0, split));
    for (std::string line; std::getline(headers, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        part.headers[name] = line.substr(colon + 2);
    }
    part.body = split == std::string::npos ? "" : text.substr(split + 4);
    return part;
}

// The message's headers and its parts.
struct Eml {
    Part message;
    std::vector<Part> parts;
};

Eml parseEml(const std::string& text)
{
    Eml eml;
    eml.message = parsePart(text);
    const std::string type = eml.message.headers["content-type"];
    const auto at = type.find("boundary=\"");
    if (at == std::string::npos)
        return eml;
    const std::string boundary = "--" + type.substr(at + 10, type.find('"', at + 10) - at - 10);
    std::size_t pos = text.find(boundary);
    while (pos != std::string::npos) {
        const std::size_t start = pos + boundary.size();
        if (text.compare(start, 2, "--") == 0)
            break;
        const std::size_t next = text.find(boundary, start);
        Part part = parsePart(text.substr(start + 2, next - start - 2));
        part.body = base64Decode(part.body);
        eml.parts.push_back(part);
        pos = next;
    }
    return eml;
}

struct Finish : mail::MailComposeDelegate {
    std::vector<MailComposeResult> results;
    void mailComposeControllerDidFinish(MailComposer&, MailComposeResult result) override { results.push_back(result); }
};

class MailComposerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        documents = testsupport::freshDocuments();
        MailComposer::setTestRecorder([this](const mail::MailMessage& m, const std::string& file) {
            presented.push_back(m);
            files.push_back(file);
            return answer;
        });
    }
    void TearDown() override { MailComposer::setTestRecorder(nullptr); }

    fs::path documents;
    std::vector<mail::MailMessage> presented;
    std::vector<std::string> files;
    MailComposeResult answer = MailComposeResult::Sent;
};

TEST_F(MailComposerTest, PresentKeepsAParsableCopyWithItsAttachmentsAndReportsOnTheMainQueue)
{
    ASSERT_TRUE(MailComposer::canSendMail());
    const std::string csv = "Norvale data log Nov 14, 2023-22:13 PM\nTime,RPM (rpm),\n22:13:20,850,\n";
    const std::string binary("\x00\x01\xff\xfe PDF", 8);
    MailComposer composer;
    Finish finish;
    composer.setDelegate(&finish);
    composer.setSubject("Norvale Logging");
    composer.setToRecipients({"driver@example.org"});
    composer.setMessageBody("Logged data attached. Température ✓", false);
    composer.addAttachmentData(csv, "text/csv", "Nov 14, 2023-22:13 PM.csv");
    composer.addAttachmentData(binary, "application/pdf", "Race \"results\".pdf");
    composer.present();

    EXPECT_TRUE(finish.results.empty());  // reported on the next turn of the main queue
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(finish.results, std::vector<MailComposeResult>{MailComposeResult::Sent});

    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].attachments.size(), 2u);
    const fs::path file = composer.savedFile();
    EXPECT_EQ(files[0], file.string());
    EXPECT_EQ(file.parent_path(), documents / "Outbox");
    EXPECT_EQ(file.extension(), ".eml");

    const Eml eml = parseEml(*fnd::readFile(file));
    EXPECT_EQ(eml.message.headers.at("subject"), "Norvale Logging");
    EXPECT_EQ(eml.message.headers.at("to"), "driver@example.org");
    EXPECT_EQ(eml.message.headers.at("mime-version"), "1.0");
    EXPECT_TRUE(eml.message.headers.count("date"));
    ASSERT_EQ(eml.parts.size(), 3u);
    EXPECT_EQ(eml.parts[0].headers.at("content-type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(eml.parts[0].body, "Logged data attached. Température ✓");
    EXPECT_EQ(eml.parts[1].headers.at("content-type"), "text/csv; name=\"Nov 14, 2023-22:13 PM.csv\"");
    EXPECT_EQ(eml.parts[1].headers.at("content-disposition"), "attachment; filename=\"Nov 14, 2023-22:13 PM.csv\"");
    EXPECT_EQ(eml.parts[1].body, csv);
    EXPECT_EQ(eml.parts[2].headers.at("content-disposition"), "attachment; filename=\"Race \\\"results\\\".pdf\"");
    EXPECT_EQ(eml.parts[2].body, binary);
}

TEST_F(MailComposerTest, HeadersCannotBeInjectedAndNonAsciiSubjectsAreEncoded)
{
    MailComposer composer;
    composer.setSubject("Log\r\nBcc: someone@example.org");
    composer.present();
    MailComposer second;
    second.setSubject("Données");
    second.present();
    const std::string first = *fnd::readFile(composer.savedFile());
    EXPECT_EQ(first.find("\r\nBcc:"), std::string::npos);
    EXPECT_EQ(parseEml(first).message.headers.at("subject"), "Log  Bcc: someone@example.org");
    EXPECT_NE(second.savedFile(), composer.savedFile());
    EXPECT_EQ(parseEml(*fnd::readFile(second.savedFile())).message.headers.at("subject"), "=?UTF-8?B?RG9ubsOpZXM=?=");
}

TEST_F(MailComposerTest, TheRecordersAnswerIsTheResultAndAGoneComposerGetsNoReport)
{
    answer = MailComposeResult::Cancelled;
    Finish finish;
    {
        MailComposer composer;
        composer.setDelegate(&finish);
        composer.present();
        fnd::RunLoop::main().processEvents();
        EXPECT_EQ(finish.results, std::vector<MailComposeResult>{MailComposeResult::Cancelled});
        composer.present();
    }
    fnd::RunLoop::main().processEvents();  // the composer is gone before its second report
    EXPECT_EQ(finish.results.size(), 1u);
}

TEST_F(MailComposerTest, AnOutboxThatCannotBeWrittenFails)
{
    std::ofstream(documents / "Outbox") << "a file where the folder should be";
    EXPECT_FALSE(MailComposer::canSendMail());
    MailComposer composer;
    Finish finish;
    composer.setDelegate(&finish);
    composer.present();
    fnd::RunLoop::main().processEvents();
    EXPECT_EQ(finish.results, std::vector<MailComposeResult>{MailComposeResult::Failed});
    EXPECT_EQ(composer.savedFile(), "");
}

// Without the test recorder the message goes to the desktop through xdg-email, which refuses an option
// followed by an empty text: a message without a body leaves --body out, and a refusal or a client that
// cannot open is told, naming the copy kept in the Outbox.
class MailHandOffTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::freshDocuments();
        MailComposer::setHandOffFailedHandler([this](const mail::MailHandOffFailure& f) { failures.push_back(f); });
    }
    void TearDown() override { MailComposer::setHandOffFailedHandler({}); }

    // Presents a log mail as the screens make it (a subject, a CSV attachment, no body) and waits until
    // xdg-email has ended.
    void presentLog(MailComposer& composer)
    {
        composer.setSubject("Norvale Logging");
        composer.addAttachmentData("Time,RPM (rpm),\n22:13:20,850,\n", "text/csv", "datalog.csv");
        composer.present();
        EXPECT_TRUE(fnd::RunLoop::main().runUntil([] { return MailComposer::handOffsInProgress() == 0; }));
        fnd::RunLoop::main().processEvents();
    }

    std::vector<mail::MailHandOffFailure> failures;
};

TEST_F(MailHandOffTest, AMailWithoutABodyReachesTheClientWithItsAttachment)
{
    testsupport::FakeMailClient client;
    if (!client.usable())
        GTEST_SKIP() << "no xdg-email to check the arguments";
    MailComposer composer;
    presentLog(composer);
    EXPECT_TRUE(failures.empty()) << failures.front().reason;
    ASSERT_EQ(client.calls().size(), 1u);
    const std::vector<std::string> arguments = client.calls().front();
    EXPECT_EQ(std::find(arguments.begin(), arguments.end(), "--body"), arguments.end());
    EXPECT_EQ(std::find(arguments.begin(), arguments.end(), ""), arguments.end()) << "an empty argument";
    ASSERT_EQ(client.opened().size(), 1u);
    const std::string mailto = client.opened().front();
    EXPECT_EQ(mailto.rfind("mailto:?", 0), 0u) << mailto;
    EXPECT_NE(mailto.find("subject=Norvale%20Logging"), std::string::npos) << mailto;
    const auto attach = std::find(arguments.begin(), arguments.end(), "--attach");
    ASSERT_NE(attach, arguments.end());
    EXPECT_EQ(fnd::readFile(*(attach + 1)), "Time,RPM (rpm),\n22:13:20,850,\n");
    EXPECT_EQ(fs::path(*(attach + 1)).parent_path().parent_path(), fs::path(composer.savedFile()).parent_path());
}

TEST_F(MailHandOffTest, AFailedHandOffIsToldWithTheKeptCopy)
{
    {
        testsupport::FakeMailClient client;
        if (!client.usable())
            GTEST_SKIP() << "no xdg-email to check the arguments";
        client.setClientOpens(false);
        client.setClientErrorOutput(std::size_t{768} << 20);
        const std::size_t before = testsupport::peakResidentBytes();
        MailComposer composer;
        presentLog(composer);
        // Far less than the output, with room for a sanitizer's hold on freed memory.
        EXPECT_LT(testsupport::peakResidentBytes(), before + (std::size_t{448} << 20)) << "error output kept whole";
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].keptFile, composer.savedFile());
        EXPECT_EQ(failures[0].reason, "the mail client could not be opened");
        EXPECT_TRUE(fs::exists(composer.savedFile()));
    }
    const testsupport::FakeMailClient::Missing noXdgEmail;
    MailComposer composer;
    presentLog(composer);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1].keptFile, composer.savedFile());
    EXPECT_NE(failures[1].reason.find("not installed"), std::string::npos) << failures[1].reason;
}

}  // namespace
