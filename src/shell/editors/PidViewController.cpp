#include "shell/editors/PidViewController.h"

#include "core/Notifications.h"
#include "core/model/Manager.h"
#include "core/model/Tree.h"
#include "core/obd/PidNames.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Strings.h"
#include "shell/InputValidation.h"
#include "shell/QueuedAlertController.h"
#include "shell/ScreenClosing.h"
#include "shell/editors/FormulaParser.h"

namespace {

std::string hexText(int byte)
{
    return fnd::format("%02X", byte);
}

// Stores a typed byte; `optional` lets an empty text stand for "no byte" (0).
std::function<std::string(const std::string&)> byteCommit(int& byte, bool optional)
{
    return [&byte, optional](const std::string& text) -> std::string {
        if (optional && input::trimmed(text).empty()) {
            byte = 0;
            return {};
        }
        const auto value = input::hexByte(text);
        if (!value)
            return "Invalid hex msg";
        byte = *value;
        return {};
    };
}

std::function<std::string(const std::string&)> numberCommit(float& number)
{
    return [&number](const std::string& text) -> std::string {
        const auto value = input::number(text);
        if (!value)
            return "Invalid input msg";
        number = static_cast<float>(*value);
        return {};
    };
}

std::function<std::string(const std::string&)> textCommit(std::string& target)
{
    return [&target](const std::string& text) -> std::string {
        target = input::trimmed(text);
        return {};
    };
}

FormRow numberField(const char* title, float value, float& target)
{
    return FormRow::field(fnd::L(title), input::numberText(value), ui::KeyboardType::NumbersAndPunctuation,
                          numberCommit(target));
}

FormRow textField(const char* title, const std::string& value, std::string& target)
{
    return FormRow::field(fnd::L(title), value, ui::KeyboardType::Default, textCommit(target));
}

}  // namespace

PidViewController::PidViewController() : FormViewCon(fnd::L("Custom PID"))
{
    navigationItem().setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::SystemItem::Save, [this](ui::BarButtonItem&) {
            if (save())
                closeScreen(*this);
        }));
}

PidViewController::PidViewController(int pidIndex) : PidViewController()
{
    const auto& pids = Manager::sharedManager().userData().pids;
    if (pidIndex < 0 || static_cast<std::size_t>(pidIndex) >= pids.size())
        return;
    pidIndex_ = pidIndex;
    draft_ = pids[static_cast<std::size_t>(pidIndex)];
    if (draft_.root)
        formula_ = FormulaParser::text(*draft_.root);
}

PidViewController::~PidViewController()
{
    testTimeout_.cancel();
}

std::vector<FormSection> PidViewController::formSections()
{
    FormSection names{fnd::L("Name"), {}, {}};
    names.rows.push_back(textField("Name", draft_.lName, draft_.lName));
    names.rows.push_back(textField("Short name", draft_.sName, draft_.sName));

    FormSection request{fnd::L("Request"), {}, fnd::L("Request footer msg")};
    request.rows.push_back(
        FormRow::field(fnd::L("Service"), hexText(draft_.mode), ui::KeyboardType::Default, byteCommit(draft_.mode, false)));
    request.rows.push_back(
        FormRow::field(fnd::L("PID"), hexText(draft_.pid), ui::KeyboardType::Default, byteCommit(draft_.pid, false)));
    request.rows.push_back(FormRow::field(fnd::L("Second PID byte"), draft_.pid2 != 0 ? hexText(draft_.pid2) : "",
                                          ui::KeyboardType::Default, byteCommit(draft_.pid2, true)));

    FormSection units{fnd::L("Units"), {}, fnd::L("Conversion footer msg")};
    units.rows.push_back(textField("Metric units", draft_.units, draft_.units));
    units.rows.push_back(textField("Imperial units", draft_.units2, draft_.units2));
    units.rows.push_back(FormRow::choice(fnd::L("Shown in"), {fnd::L("Metric"), fnd::L("Imperial")},
                                         draft_.unitsMode != 0 ? 0 : 1,
                                         [this](int segment) { draft_.unitsMode = segment == 0 ? 1 : 0; }));
    units.rows.push_back(numberField("Conversion", draft_.conversion, draft_.conversion));
    units.rows.push_back(numberField("Offset", draft_.offset, draft_.offset));

    FormSection range{fnd::L("Range"), {}, {}};
    range.rows.push_back(numberField("Minimum", draft_.min, draft_.min));
    range.rows.push_back(numberField("Maximum", draft_.max, draft_.max));

    // The formula is kept as typed, so a mistake can be mended; Save checks it.
    std::string status = testResult_;
    if (const auto parsed = FormulaParser::parse(formula_); std::holds_alternative<FormulaError>(parsed))
        status = std::get<FormulaError>(parsed).message();
    FormSection formula{fnd::L("Formula"), {}, status.empty() ? fnd::L("Formula footer msg") : status};
    formula.rows.push_back(FormRow::field(fnd::L("Formula"), formula_, ui::KeyboardType::Default, textCommit(formula_)));
    formula.rows.push_back(FormRow::button(fnd::L("Test against the car"), [this] { testAgainstCar(); }));

    return {names, request, units, range, formula};
}

std::string PidViewController::validate() const
{
    if (draft_.sName.empty() && draft_.lName.empty())
        return "Invalid name msg";
    if (!(draft_.max > draft_.min))
        return "Invalid range msg";
    if (const auto parsed = FormulaParser::parse(formula_); std::holds_alternative<FormulaError>(parsed))
        return std::get<FormulaError>(parsed).message();
    return {};
}

bool PidViewController::save()
{
    reloadForm();  // a field still being typed in commits first
    if (const std::string problem = validate(); !problem.empty()) {
        QueuedAlertController::showMessage("error", problem);
        return false;
    }
    Pid pid = draft_;
    pid.root = std::get<std::shared_ptr<const Node>>(FormulaParser::parse(formula_));
    if (pid.sName.empty())
        pid.sName = pid.lName;
    if (pid.lName.empty())
        pid.lName = pid.sName;

    UserData& data = Manager::sharedManager().userData();
    if (pidIndex_) {
        data.pids[static_cast<std::size_t>(*pidIndex_)] = std::move(pid);
    } else {
        data.addPid(std::move(pid));
        pidIndex_ = static_cast<int>(data.pids.size()) - 1;
    }
    Manager::sharedManager().saveChanges();
    fnd::NotificationCenter::defaultCenter().post(gaugeModifiedNotification, this);
    return true;
}

void PidViewController::testAgainstCar()
{
    reloadForm();
    const auto parsed = FormulaParser::parse(formula_);
    if (const auto* error = std::get_if<FormulaError>(&parsed)) {
        QueuedAlertController::showMessage("error", error->message());
        return;
    }
    const auto& link = Manager::sharedManager().scanner();
    if (!link || !link->isConnected()) {
        QueuedAlertController::showMessage("error", "Not connected msg");
        return;
    }
    if (testing_)
        return;
    testing_ = true;
    // The reply comes back here whichever screen holds the link.
    const std::weak_ptr<ui::ViewController> weak = weak_from_this();
    link->sendCommand(link->commandForOBD2(draft_.mode, draft_.pid, draft_.pid2 != 0 ? draft_.pid2 : pid::none),
                      [weak](const std::vector<Response>& responses) {
                          if (const auto self = std::static_pointer_cast<PidViewController>(weak.lock()))
                              self->testReplied(responses);
                      });
    testResult_ = fnd::L("Waiting for the reply...");
    testTimeout_ = fnd::after(testTimeout, [weak] {
        if (const auto self = std::static_pointer_cast<PidViewController>(weak.lock()))
            self->endTest(fnd::L("No reply msg"));
    });
    reloadForm();
}

void PidViewController::testReplied(const std::vector<Response>& responses)
{
    if (!testing_)
        return;
    for (const auto& response : responses) {
        if (response.mode != service::replyTo(draft_.mode) || response.pid != draft_.pid ||
            (draft_.pid2 != 0 && response.pid2 != draft_.pid2))
            continue;
        // The formula may have been edited while the reply was on its way.
        const auto parsed = FormulaParser::parse(formula_);
        if (const auto* error = std::get_if<FormulaError>(&parsed)) {
            endTest(error->message());
            return;
        }
        const Tree::Result result =
            Tree::evaluate(std::get<std::shared_ptr<const Node>>(parsed).get(), response.data);
        // A formula that fails says why, as the gauge list does, rather than passing for a reading of 0.
        if (!result.value) {
            endTest(formulaFaultText(result.fault));
            return;
        }
        float value = *result.value;
        if (draft_.unitsMode == 0)
            value = draft_.offset + draft_.conversion * value;
        const std::string& unit = draft_.unitsMode != 0 ? draft_.units : draft_.units2;
        endTest(fnd::format("%s: %s %s", fnd::L("Test value"), input::numberText(value), unit));
        return;
    }
}

void PidViewController::endTest(std::string result)
{
    testTimeout_.cancel();
    testing_ = false;
    testResult_ = std::move(result);
    reloadForm();
}

void PidViewController::viewWillDisappear(bool animated)
{
    FormViewCon::viewWillDisappear(animated);
    if (testing_)
        endTest({});
}
