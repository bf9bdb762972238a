#include "logging/LoggerSettViewCon.h"

#include <array>

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"
#include "shell/DetailViewCon.h"
#include "shell/TextFieldViewCon.h"

namespace {

constexpr std::array<float, 7> delays = {0, 0.5f, 1, 2, 3, 4, 5};

}  // namespace

LoggerSettViewCon::LoggerSettViewCon() : FormViewCon("Logger settings") {}

int LoggerSettViewCon::sampleRateRow(float delay)
{
    for (std::size_t row = 0; row < delays.size(); ++row)
        if (delays[row] == delay)
            return static_cast<int>(row);
    return 0;
}

std::string LoggerSettViewCon::sampleRateText(float delay)
{
    static const std::array<const char*, 7> texts = {"No delay",        "Every 0.5 seconds", "Every second",
                                                     "Every 2 seconds", "Every 3 seconds",   "Every 4 seconds",
                                                     "Every 5 seconds"};
    const int row = sampleRateRow(delay);
    return row == 0 ? fnd::L("No delay") : texts[static_cast<std::size_t>(row)];
}

void LoggerSettViewCon::push(std::shared_ptr<ui::ViewController> screen)
{
    if (auto* navigation = navigationController())
        navigation->pushViewController(std::move(screen), true);
}

void LoggerSettViewCon::viewWillAppear(bool animated)
{
    FormViewCon::viewWillAppear(animated);
    // On the light theme the bar's own items are light grey; the dark theme keeps the bar as it comes.
    if (auto* navigation = navigationController(); navigation && look().theme == 1)
        navigation->navigationBar().setTintColor(ui::Color::lightGray());
}

// The logger's page: black behind the rows in the dark theme, a lighter dark-theme row, the switch rows'
// texts in light grey, and the strip of a selected row in the accent red.
TableLook LoggerSettViewCon::formLook() const
{
    TableLook look = TableLook::current();
    const bool light = look.theme == 1;
    if (!light)
        look.tableBackground = ui::Color::black();
    look.cellBackground = light ? ui::Color::white(1.0) : ui::Color::white(0.08);
    look.detail = ui::Color::lightGray();
    look.strip = TableLook::accent();
    return look;
}

std::vector<FormSection> LoggerSettViewCon::formSections()
{
    Settings& settings = Manager::sharedManager().setting();
    const auto save = [] { Manager::sharedManager().saveChanges(); };
    FormSection section;
    section.rows.push_back(FormRow::disclosure(
        fnd::L("Interface"), fnd::L(settings.loggerInterface == 1 ? "TCP Socket" : "File"), [this, &settings] {
            push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, settings.loggerInterface,
                                                 std::vector<std::string>{fnd::L("File"), fnd::L("TCP Socket")},
                                                 DetailViewCon::SelectLoggerInterface, "Interface"));
        }));
    if (settings.loggerInterface == 1) {
        section.rows.push_back(FormRow::disclosure(fnd::L("IP"), settings.loggerIP, [this, &settings] {
            push(std::make_shared<TextFieldViewCon>(ui::TableViewStyle::Grouped, "IP", settings.loggerIP,
                                                    TextFieldViewCon::EditLoggerIP));
        }));
        section.rows.push_back(
            FormRow::disclosure(fnd::L("Port"), fnd::format("%lu", static_cast<unsigned long>(settings.loggerPort)),
                                [this, &settings] {
                                    push(std::make_shared<TextFieldViewCon>(
                                        ui::TableViewStyle::Grouped, "Port",
                                        fnd::format("%ld", static_cast<long>(settings.loggerPort)),
                                        TextFieldViewCon::EditLoggerPort));
                                }));
    }
    section.rows.push_back(FormRow::disclosure(
        fnd::L("export to file"), fnd::L(settings.logFormat != 0 ? "multi file" : "single file"), [this, &settings] {
            push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, settings.logFormat,
                                                 std::vector<std::string>{fnd::L("single file"), fnd::L("multi file")},
                                                 DetailViewCon::SelectLogFormat, "log format"));
        }));
    section.rows.push_back(
        FormRow::disclosure(fnd::L("Sample rate"), sampleRateText(settings.loggerDelay), [this, &settings] {
            std::vector<std::string> rows = {fnd::L("No delay"), "0.5 " + fnd::L("Second"), "1 " + fnd::L("Second")};
            for (int n = 2; n <= 5; ++n)
                rows.push_back(fnd::format("%d %s", n, fnd::L("Seconds")));
            push(std::make_shared<DetailViewCon>(ui::TableViewStyle::Grouped, sampleRateRow(settings.loggerDelay),
                                                 rows, DetailViewCon::SelectLoggerDelay, "Sample rate"));
        }));
    FormRow formatting = FormRow::toggle(fnd::L("Data formatting"), settings.formattedLoggerData,
                                         [&settings, save](bool on) {
                                             settings.formattedLoggerData = on;
                                             save();
                                         });
    formatting.value = fnd::L(settings.formattedLoggerData ? "Formatted" : "Raw");
    section.rows.push_back(std::move(formatting));
    section.rows.push_back(FormRow::toggle(fnd::L("Timestamp"), settings.loggerTimeStamp, [&settings, save](bool on) {
        settings.loggerTimeStamp = on;
        save();
    }));
    return {section};
}
