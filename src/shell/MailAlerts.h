#pragma once

// Tells the user, one alert each, of every mail the desktop's mail client did not get, and where its
// copy is kept, for as long as this lives.
class MailAlerts {
public:
    MailAlerts();
    ~MailAlerts();
    MailAlerts(const MailAlerts&) = delete;
    MailAlerts& operator=(const MailAlerts&) = delete;
};
