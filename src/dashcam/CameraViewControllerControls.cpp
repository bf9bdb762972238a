#include "dashcam/CameraViewController.h"

#include "dashcam/CameraScreenGeometry.h"
#include "dashcam/PictureTextView.h"
#include "imaging/GfxVideoCamera.h"
#include "imaging/GfxView.h"
#include "platform/media/CaptureDevice.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"

// The screen's controls: gestures, the menu button, and the layout that follows the window.

// The record button, the recording time and the menu button are placed for the window by layoutControls.
void CameraViewController::buildControls()
{
    pictureTexts_ = std::make_shared<PictureTextView>(*gpuImgView_);
    gpuImgView_->insertSubview(pictureTexts_, 0);
    buttonView_ = std::make_shared<ButtonView>(controlsLayout().buttonView);
    buttonView_->setDelegate(this);
    gpuImgView_->addSubview(buttonView_);
    recordLabel_ = std::make_shared<ui::Label>();
    recordLabel_->setTextColor(ui::Color::lightGray());
    recordLabel_->setFont(ui::Font::named("DigitalSans NowEF ML Demo", 22));
    // Hours grow past two digits; the time must never be cut short.
    recordLabel_->setAdjustsFontSizeToFitWidth(true);
    recordLabel_->setText("00:00:00");
    gpuImgView_->addSubview(recordLabel_);
    addMenuButton();
    layoutControls();
}

// Swipes are not the only way off a screen that fills the window: the menu button opens the menu, as
// the other screens' bars do. It sits on the screen, not in the recorded picture.
void CameraViewController::addMenuButton()
{
    menuButton_ = std::make_shared<ui::Button>();
    menuButton_->setImage(ui::Image::named("menu"));
    menuButton_->addTarget(ui::ControlEvent::TouchUpInside, [this](ui::Control&) {
        if (auto menu = delegate())
            menu->viewWillSlide2();
    });
    gpuImgView_->addSubview(menuButton_);
}

void CameraViewController::addGestures()
{
    auto left = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { leftSwipe(); });
    left->setDirection(ui::SwipeDirection::Left);
    gpuImgView_->addGestureRecognizer(left);
    auto right = std::make_shared<ui::SwipeGestureRecognizer>([this](ui::GestureRecognizer&) { rightSwipe(); });
    right->setDirection(ui::SwipeDirection::Right);
    gpuImgView_->addGestureRecognizer(right);
    gpuImgView_->addGestureRecognizer(
        std::make_shared<ui::TapGestureRecognizer>([this](ui::GestureRecognizer& tap) { tapToFocus(tap); }));
}

camerascreen::ControlsLayout CameraViewController::controlsLayout() const
{
    return camerascreen::controlsLayout(ui::Device::current().screenSize(), pictureSize(),
                                        ui::Device::current().safeAreaInsets().bottom > 0);
}

void CameraViewController::layoutControls()
{
    laidOutFor_ = ui::Device::current().screenSize();
    const auto layout = controlsLayout();
    buttonView_->setFrame(layout.buttonView);
    recordLabel_->setFrame(layout.recordLabel);
    menuButton_->setFrame(layout.menuButton);
    // The picture's texts are placed on the picture as the view now shows it.
    pictureTexts_->setFrame({{0, 0}, laidOutFor_});
    if (unavailableLabel_)
        unavailableLabel_->setFrame(camerascreen::middleLines(laidOutFor_));
}

void CameraViewController::changeTheViewToPortrait(bool /*portrait*/, double duration)
{
    wirePipeline();
    ui::animate(duration, [this] { layoutControls(); });
}

void CameraViewController::rotateScreen()
{
    if (isViewLoaded())
        changeTheViewToPortrait(!ui::isLandscape(ui::Device::current().interfaceOrientation()), 0);
}

void CameraViewController::willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    TemplateViewCon::willRotateToInterfaceOrientation(orientation, duration);
    // The camera keeps its landscape picture: a desktop camera does not turn with the window.
    if (isViewLoaded())
        changeTheViewToPortrait(!ui::isLandscape(orientation), duration);
}

void CameraViewController::viewWillTransitionToSize(ui::Size size, ui::TransitionCoordinator& coordinator)
{
    TemplateViewCon::viewWillTransitionToSize(size, coordinator);
    // A window resized without turning (a turn is handled as a rotation).
    const bool turns = (size.width < size.height) != (laidOutFor_.width < laidOutFor_.height);
    if (isViewLoaded() && !turns)
        changeTheViewToPortrait(size.width < size.height, coordinator.transitionDuration());
}

void CameraViewController::tapToFocus(ui::GestureRecognizer& gesture)
{
    if (gesture.state() != ui::GestureRecognizer::State::Ended || !captureDevice_)
        return;
    const auto point = camerascreen::focusPointOfInterest(
        gesture.locationInView(gesture.view()),
        camerascreen::pictureRect(gpuImgView_->bounds().size, pictureSize()));
    media::CaptureDevice* device = captureDevice_->inputCamera().get();
    if (!point || !device || !device->lockForConfiguration())
        return;
    device->setFocusPointOfInterest(*point);
    device->setFocusMode(media::FocusMode::AutoFocus);
    device->unlockForConfiguration();
}

void CameraViewController::leftSwipe() { slideForMenu(false); }

void CameraViewController::rightSwipe() { slideForMenu(true); }
