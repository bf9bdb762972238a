#include "shell/editors/SensorDetViewCon.h"

#include <cmath>

#include "core/Notifications.h"
#include "core/model/Manager.h"
#include "core/obd/SensorTable.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "shell/InputValidation.h"

namespace {

UserData& userData()
{
    return Manager::sharedManager().userData();
}

FormRow numberField(const char* title, float value, std::function<std::string(const std::string&)> commit)
{
    return FormRow::field(fnd::L(title), input::numberText(value), ui::KeyboardType::NumbersAndPunctuation,
                          std::move(commit));
}

// A limit is kept as a share of the range, so after a change of unit it lands between round numbers
// (180 F is 82.222 C): a tenth is as close as anyone sets one.
float limitShown(float value)
{
    return std::round(value * 10) / 10;
}

}  // namespace

SensorDetViewCon::SensorDetViewCon(ui::TableViewStyle, std::string name, std::string sName, float min, float max,
                                   int ind, bool isCustom)
    : FormViewCon(fnd::L("Sensor details"))
    , name_(std::move(name))
    , sName_(std::move(sName))
    , min_(min)
    , max_(max)
    , ind_(ind)
    , isCustom_(isCustom)
{
}

bool SensorDetViewCon::isValid() const
{
    const UserData& data = userData();
    if (ind_ < 0 || static_cast<std::size_t>(ind_) >= data.minLimitArr.size())
        return false;
    return isCustom_ ? customPid() != nullptr : static_cast<std::size_t>(ind_) < data.unitsArr.size();
}

Pid* SensorDetViewCon::customPid() const
{
    auto& pids = userData().pids;
    const int n = ind_ - firstCustomSensorIndex;
    if (!isCustom_ || n < 0 || static_cast<std::size_t>(n) >= pids.size())
        return nullptr;
    return &pids[static_cast<std::size_t>(n)];
}

bool SensorDetViewCon::isMetric() const
{
    if (const Pid* pid = customPid())
        return pid->unitsMode != 0;
    return userData().unitsArr[static_cast<std::size_t>(ind_)] != 0;
}

void SensorDetViewCon::setMetric(bool metric)
{
    if (Pid* pid = customPid())
        pid->unitsMode = metric ? 1 : 0;
    else
        userData().unitsArr[static_cast<std::size_t>(ind_)] = metric ? 1 : 0;
    loadRange();
}

void SensorDetViewCon::loadRange()
{
    // A custom PID has one range, in its own unit.
    if (const Pid* pid = customPid()) {
        min_ = pid->min;
        max_ = pid->max;
        return;
    }
    const UserData& data = userData();
    const auto i = static_cast<std::size_t>(ind_);
    min_ = isMetric() ? data.minArr[i] : data.minImpArr[i];
    max_ = isMetric() ? data.maxArr[i] : data.maxImpArr[i];
}

std::vector<FormSection> SensorDetViewCon::formSections()
{
    if (!isValid())
        return {};
    const auto i = static_cast<std::size_t>(ind_);
    UserData& data = userData();
    const float span = max_ - min_;

    FormSection names{fnd::L("Name"), {}, {}};
    names.rows.push_back(FormRow::field(fnd::L("Name"), name_, ui::KeyboardType::Default,
                                        [this](const std::string& text) { return storeName(text, false); }));
    names.rows.push_back(FormRow::field(fnd::L("Short name"), sName_, ui::KeyboardType::Default,
                                        [this](const std::string& text) { return storeName(text, true); }));

    FormSection range{fnd::L("Range"), {}, {}};
    range.rows.push_back(numberField("Minimum", min_, [this](const std::string& text) { return storeRange(text, false); }));
    range.rows.push_back(numberField("Maximum", max_, [this](const std::string& text) { return storeRange(text, true); }));
    range.rows.push_back(FormRow::choice(fnd::L("Units"), {fnd::L("Metric"), fnd::L("Imperial")}, isMetric() ? 0 : 1,
                                         [this](int segment) { setMetric(segment == 0); }));

    FormSection warning{fnd::L("Limit warning"), {}, {}};
    warning.rows.push_back(FormRow::toggle(fnd::L("Limit warning"), data.notifyLimitArr[i],
                                           [i](bool on) { userData().notifyLimitArr[i] = on; }));
    warning.rows.push_back(FormRow::toggle(fnd::L("Warning sound"), data.notifySoundLimArr[i],
                                           [i](bool on) { userData().notifySoundLimArr[i] = on; }));
    warning.rows.push_back(numberField("Low limit", limitShown(min_ + data.minLimitArr[i] * span),
                                       [this](const std::string& text) { return storeLimit(text, false); }));
    warning.rows.push_back(numberField("High limit", limitShown(min_ + data.maxLimitArr[i] * span),
                                       [this](const std::string& text) { return storeLimit(text, true); }));
    return {names, range, warning};
}

std::string SensorDetViewCon::storeName(const std::string& text, bool shortName)
{
    const std::string name = input::trimmed(text);
    if (name.empty())
        return "Invalid name msg";
    (shortName ? sName_ : name_) = name;
    if (Pid* pid = customPid()) {
        (shortName ? pid->sName : pid->lName) = name;
    } else {
        auto& names = shortName ? userData().shortNameArr : userData().longNameArr;
        names[static_cast<std::size_t>(ind_)] = name;
    }
    return {};
}

std::string SensorDetViewCon::storeRange(const std::string& text, bool maximum)
{
    const auto value = input::number(text);
    if (!value)
        return "Invalid input msg";
    const auto bound = static_cast<float>(*value);
    if (maximum ? bound <= min_ : bound >= max_)
        return "Invalid range msg";
    (maximum ? max_ : min_) = bound;
    if (Pid* pid = customPid()) {
        (maximum ? pid->max : pid->min) = bound;
        return {};
    }
    UserData& data = userData();
    const auto i = static_cast<std::size_t>(ind_);
    if (isMetric())
        (maximum ? data.maxArr : data.minArr)[i] = bound;
    else
        (maximum ? data.maxImpArr : data.minImpArr)[i] = bound;
    return {};
}

std::string SensorDetViewCon::storeLimit(const std::string& text, bool high)
{
    const auto value = input::number(text);
    if (!value)
        return "Invalid input msg";
    if (!(max_ > min_))
        return "Invalid range msg";
    UserData& data = userData();
    const auto i = static_cast<std::size_t>(ind_);
    // Limits are kept as fractions of the range, so they follow a change of unit.
    const float fraction = static_cast<float>((*value - min_) / (max_ - min_));
    const bool ordered = high ? fraction >= data.minLimitArr[i] : fraction <= data.maxLimitArr[i];
    if (fraction < 0 || fraction > 1 || !ordered)
        return "Invalid limit msg";
    (high ? data.maxLimitArr : data.minLimitArr)[i] = fraction;
    return {};
}

void SensorDetViewCon::formDidChange()
{
    Manager::sharedManager().saveChanges();
    fnd::NotificationCenter::defaultCenter().post(gaugeModifiedNotification, this);
}
