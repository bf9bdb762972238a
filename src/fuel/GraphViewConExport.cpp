#include <filesystem>

#include "core/model/FuelLog.h"
#include "fuel/GraphViewCon.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Timer.h"
#include "shell/QueuedAlertController.h"

void GraphViewCon::showError(const std::string& message) { QueuedAlertController::showMessage("Error", message); }

void GraphViewCon::displayOptions()
{
    auto sheet = QueuedAlertController::alertControllerWithTitle(fnd::L("Adapter data"), "Choose an option",
                                                                 ui::AlertControllerStyle::ActionSheet);
    sheet->view()->setTintColor(ui::Color::red());
    sheet->setContentBackground(ui::Color::black(), 15);
    const std::weak_ptr<bool> alive = alive_;
    const auto whenAlive = [alive](std::function<void()> action) {
        return [alive, action = std::move(action)] {
            if (const auto living = alive.lock(); living && *living)
                action();
        };
    };
    sheet->addAction("Export all data", ui::AlertActionStyle::Default, whenAlive([this, alive] {
                         if (!mail::MailComposer::canSendMail())
                             showError("Mail msg");
                         else if (log_.dayCount() == 0)
                             showError("No data available");
                         else
                             fnd::after(0, [this, alive] {
                                 if (const auto living = alive.lock(); living && *living)
                                     sendMail();
                             });
                     }));
    sheet->addAction("Export ranged data", ui::AlertActionStyle::Default, whenAlive([this, alive] {
                         if (!mail::MailComposer::canSendMail())
                             showError("Mail msg");
                         else if (log_.dayCount() == 0 || !(stats_.endIndex > stats_.begIndex))
                             showError("No data available\nOr no range selected.");
                         else
                             fnd::after(0, [this, alive] {
                                 if (const auto living = alive.lock(); living && *living)
                                     sendRangedMail();
                             });
                     }));
    sheet->addAction("Cancel");
    sheet->show();
}

void GraphViewCon::sendMail() { exportLog(log_); }

void GraphViewCon::sendRangedMail()
{
    const int n = static_cast<int>(log_.dayCount());
    if (n == 0 || stats_.begIndex < 0 || stats_.endIndex >= n || stats_.endIndex <= stats_.begIndex)
        return;
    exportLog(log_.slice(static_cast<std::size_t>(n - 1 - stats_.endIndex),
                         static_cast<std::size_t>(n - 1 - stats_.begIndex)));
}

void GraphViewCon::exportLog(const TrendLog& columns)
{
    const std::string header = fnd::format("%s, %s, %s, %s, %s, %s", fnd::L("Date"), unitsStr_, fuelUnitStr_,
                                           fnd::L("Cost"), fnd::L("Distance"), fnd::L("Speed"));
    const FuelLog file(columns.dateArr,
                       {columns.dataArr, columns.fuelArr, columns.costArr, columns.distArr, columns.speedArr}, header);
    const auto bytes = file.saveToFile() ? fnd::readFile(file.filePath()) : std::nullopt;
    if (!bytes) {
        showError("Fuel export msg");
        return;
    }
    composer_ = std::make_unique<mail::MailComposer>();
    composer_->setDelegate(this);
    composer_->setSubject("Fuel Economy data");
    composer_->addAttachmentData(*bytes, "text/csv", attachmentName);
    composer_->present();
}

void GraphViewCon::mailComposeControllerDidFinish(mail::MailComposer& composer, mail::MailComposeResult)
{
    composer.setDelegate(nullptr);
    deleteFile(exportFileName);
    viewDidLayoutSubviews();
}

void GraphViewCon::deleteFile(const std::string& name)
{
    std::error_code ignored;
    std::filesystem::remove(fnd::Paths::documents() / name, ignored);
}
