#pragma once

#include <string>
#include <vector>

#include "platform/mail/MailComposer.h"

namespace testsupport {

// While it lives, every mail the app presents is taken here as sent instead of going to the desktop.
class MailRecorder {
public:
    MailRecorder()
    {
        mail::MailComposer::setTestRecorder([this](const mail::MailMessage& message, const std::string&) {
            mails.push_back(message);
            return mail::MailComposeResult::Sent;
        });
    }
    ~MailRecorder() { mail::MailComposer::setTestRecorder({}); }
    MailRecorder(const MailRecorder&) = delete;
    MailRecorder& operator=(const MailRecorder&) = delete;

    std::vector<mail::MailMessage> mails;
};

}  // namespace testsupport
