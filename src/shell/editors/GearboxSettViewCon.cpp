#include "shell/editors/GearboxSettViewCon.h"

#include "core/model/Manager.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "shell/InputValidation.h"

GearboxSettViewCon::GearboxSettViewCon() : FormViewCon(fnd::L("Transmission setting")) {}

std::vector<FormSection> GearboxSettViewCon::formSections()
{
    UserData& data = Manager::sharedManager().userData();
    FormSection gears{fnd::L("Gear ratios"), {}, fnd::L("Gear ratio footer msg")};
    for (std::size_t gear = 0; gear < data.transmissionArr.size(); ++gear) {
        gears.rows.push_back(FormRow::field(
            fnd::format("%s %d", fnd::L("Gear"), static_cast<int>(gear) + 1), input::numberText(data.transmissionArr[gear]),
            ui::KeyboardType::DecimalPad, [gear](const std::string& text) -> std::string {
                const auto ratio = input::number(text);
                if (!ratio || *ratio <= 0 || *ratio > maximumRatio)
                    return "Invalid ratio msg";
                Manager::sharedManager().userData().transmissionArr[gear] = static_cast<float>(*ratio);
                return {};
            }));
    }
    FormSection engine{fnd::L("Engine"), {}, {}};
    engine.rows.push_back(FormRow::field(
        fnd::L("Red line"), fnd::format("%d", data.rpmRedLine), ui::KeyboardType::NumberPad,
        [](const std::string& text) -> std::string {
            const auto redLine = input::integer(text, minimumRedLine, maximumRedLine);
            if (!redLine)
                return "Invalid red line msg";
            Manager::sharedManager().userData().rpmRedLine = *redLine;
            return {};
        }));
    return {gears, engine};
}

void GearboxSettViewCon::formDidChange()
{
    Manager::sharedManager().saveChanges();
}
