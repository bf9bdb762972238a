#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mail {

enum class MailComposeResult { Cancelled, Saved, Sent, Failed };

struct MailAttachment {
    std::string data;
    std::string mimeType;
    std::string fileName;
};

struct MailMessage {
    std::string subject;
    std::vector<std::string> toRecipients;
    std::string body;
    bool bodyIsHTML = false;
    std::vector<MailAttachment> attachments;
};

// A message the desktop's mail client did not get: why, in words, and where its copy is kept.
struct MailHandOffFailure {
    std::string reason;
    std::string keptFile;  // the .eml copy in Documents/Outbox
};

class MailComposer;

struct MailComposeDelegate {
    virtual ~MailComposeDelegate() = default;
    virtual void mailComposeControllerDidFinish(MailComposer&, MailComposeResult) {}
};

// Composes a message and hands it to the desktop mail client (xdg-email) when
// there is one; a copy is always kept as an .eml file in Documents/Outbox.
class MailComposer {
public:
    static bool canSendMail();  // the Outbox folder can be written

    MailComposer();
    ~MailComposer();
    MailComposer(const MailComposer&) = delete;
    MailComposer& operator=(const MailComposer&) = delete;

    void setDelegate(MailComposeDelegate* delegate);  // raw pointer the owner clears
    void setSubject(const std::string& subject);
    void setToRecipients(const std::vector<std::string>& recipients);
    void setMessageBody(const std::string& body, bool isHTML);
    void addAttachmentData(const std::string& bytes, const std::string& mimeType, const std::string& fileName);
    const MailMessage& message() const { return message_; }

    // Writes the .eml copy, hands it on, and reports the result to the delegate
    // on the main queue: Saved when the copy was kept (the desktop client does the
    // sending, unseen by us), Failed when it could not be written. A hand-off that
    // fails later (no xdg-email, or it refused or could not open a client) goes to
    // the hand-off failure handler.
    void present();
    const std::string& savedFile() const { return savedFile_; }  // the .eml of the last present()

    // Tests: present() calls the recorder instead of launching a mail client; its
    // answer is the reported result.
    using Recorder = std::function<MailComposeResult(const MailMessage&, const std::string& emlFile)>;
    static void setTestRecorder(Recorder recorder);

    // Told, on the main thread, of every message the desktop's mail client did not get; the
    // application tells the user. Unset: the failure is only logged.
    using HandOffFailedHandler = std::function<void(const MailHandOffFailure&)>;
    static void setHandOffFailedHandler(HandOffFailedHandler handler);
    // Hand-offs whose xdg-email has not ended yet.
    static int handOffsInProgress();

private:
    MailMessage message_;
    MailComposeDelegate* delegate_ = nullptr;
    std::string savedFile_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace mail
