#pragma once

namespace ui {
class ViewController;
}

// Closes a screen the way it was opened: popped when it is on top of a
// navigation stack above its root, otherwise dismissed.
void closeScreen(ui::ViewController& screen);
