#include <algorithm>

#include "core/model/RaceEngine.h"
#include "dashboard/GaugeView2.h"
#include "dashboard/ShiftView.h"
#include "performance/GforceView.h"
#include "performance/RaceGaugeView.h"
#include "performance/RacePanels.h"
#include "performance/TrackView.h"
#include "platform/foundation/Localization.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"

// Run states.

void RacePanels::showArmed(bool armed)
{
    msgLabel_->setAlpha(1);
    msgLabel_->setHidden(!armed);
    timerLabel_->setHidden(armed);
    miliSecLabel_->setHidden(armed);
}

void RacePanels::showRunStarted(bool trackLoaded)
{
    ui::animate(0.4, ui::AnimationCurve::EaseInOut, [this, trackLoaded] {
        msgLabel_->setAlpha(0);
        timerLabel_->setHidden(false);
        miliSecLabel_->setHidden(false);
        lapValLabel_->setHidden(false);
        lapLabel_->setHidden(false);
        msgLabel_->setHidden(true);
        if (!trackLoaded)
            trackLabel_->setText(fnd::L("Recording track"));
        stopBtn_->setFrame(stopBtnFrame(true));
    });
}

void RacePanels::showRunStopped()
{
    ui::animate(0.4, ui::AnimationCurve::EaseInOut, [this] {
        resultsBtn_->setFrame(stopBtnFrame(true));
        stopBtn_->setFrame(stopBtnFrame(false));
    });
}

void RacePanels::showReset()
{
    msgLabel_->setHidden(true);
    clearRunFigures();
    timerLabel_->setHidden(true);
    miliSecLabel_->setHidden(true);
    lapValLabel_->setHidden(true);
    lapLabel_->setHidden(true);
    ui::animate(0.4, ui::AnimationCurve::EaseInOut, [this] {
        msgLabel_->setAlpha(1);
        resultsBtn_->setFrame(stopBtnFrame(false));
    });
}

void RacePanels::clearRunFigures()
{
    timerLabel_->setText("00:00");
    miliSecLabel_->setText(".0");
    bestLapValLabel_->setText("--:--.-");
    lastLapValLabel_->setText("--:--.-");
    gapValLabel_->setText(" --.-");
    gapView_->setBackgroundColor(panelBackground());
    lapValLabel_->setText("1");
}

// Figures.

void RacePanels::showTime(const std::string& timer, const std::string& tenths)
{
    timerLabel_->setText(timer);
    miliSecLabel_->setText(tenths);
}

void RacePanels::showHorsepower(int hp) { hpValLabel_->setText(fnd::format("%d", hp)); }

void RacePanels::showGap(const GapReading& gap)
{
    gapValLabel_->setText(gap.text);
    if (gap.background)
        gapView_->setBackgroundColor(*gap.background);
}

void RacePanels::showLap(const std::string& time, bool best, int lapCount)
{
    if (best)
        bestLapValLabel_->setText(time);
    lastLapValLabel_->setText(time);
    lapValLabel_->setText(fnd::format("%d", lapCount));
}

void RacePanels::showTemperature(int value) { tempValLabel_->setText(fnd::format("%d", value)); }

void RacePanels::showTemperatureUnit(bool metric) { tempUnitLabel_->setText(metric ? "°C" : "°F"); }

void RacePanels::showGear(int gear)
{
    static const char* const suffixes[] = {"st", "nd", "rd", "th", "th", "th"};
    gearValLabel_->setText(fnd::format("%d", gear));
    gearEndLabel_->setText(suffixes[std::clamp(gear - 1, 0, 5)]);
}

void RacePanels::showSpeedInGearPanel(int speed) { gearValLabel_->setText(fnd::format("%d", speed)); }

void RacePanels::showTrack(const std::vector<geo::Location>& outline)
{
    trackView_->setCoordinatesArr(outline);
    trackLabel_->setHidden(true);
}

void RacePanels::showNoTrack()
{
    trackView_->setCoordinatesArr({});
    trackLabel_->setText(fnd::L("No track"));
    trackLabel_->setHidden(false);
}

// Pages.

void RacePanels::showPage(int index)
{
    switch (index) {
    case 0:
        gFView_->stopTimer();
        if (rGView_)
            rGView_->startTimer();
        break;
    case 1:
        if (rGView_)
            rGView_->stopTimer();
        if (gView_)
            gView_->stopTimer();
        trackView_->stopTimer();
        gFView_->startTimer();
        gFView_->adjustView();
        break;
    case 2:
        gFView_->stopTimer();
        if (sView_)
            sView_->stopTimer();
        gearLabel_->setText(fnd::L("Gear"));
        gearValLabel_->setFont(ui::Font::named("Digital Sans EF", height_ * 0.12));
        gearValLabel_->setText("N");
        break;
    case 3:
        trackView_->stopTimer();
        gearLabel_->setText(fnd::L("Speed"));
        gearValLabel_->setFont(ui::Font::named("Digital Sans EF", height_ * 0.09));
        gearValLabel_->setText("");
        gearEndLabel_->setText("");
        break;
    default:
        break;
    }
}

void RacePanels::stopTimers()
{
    gFView_->stopTimer();
    trackView_->stopTimer();
    if (rGView_)
        rGView_->stopTimer();
    if (sView_)
        sView_->stopTimer();
    if (gView_)
        gView_->stopTimer();
}
