#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Device.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/RootWindow.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "support/AppState.h"
#include "support/Input.h"
#include "support/WindowFixture.h"

namespace shelltests {

inline void advance(double seconds)
{
    fnd::RunLoop::main().advance(seconds);
}

// Each test starts with nothing saved (first-run records), a phone-sized key
// window and no alerts; screens are shown at the root of a navigation stack.
class ShellTest : public ::testing::Test, protected testsupport::WindowFixture {
protected:
    ShellTest()
    {
        testsupport::freshAppState();
        makeWindow();
    }
    ~ShellTest() override
    {
        ui::AlertController::dismissAll();
        closeWindow();
        ui::Device::current().reset();
    }

    void show(std::shared_ptr<ui::ViewController> screen) { showInNavigation(std::move(screen), 1); }
    void push(std::shared_ptr<ui::ViewController> screen)
    {
        navigation->pushViewController(std::move(screen), true);
        advance(1);
    }

    // The records as the next launch reads them from disk.
    static Manager& reloaded()
    {
        Manager::resetForTesting();
        return Manager::sharedManager();
    }

    // The cell of a row, scrolled on screen.
    std::shared_ptr<ui::TableViewCell> cellAt(ui::TableView& table, ui::IndexPath path)
    {
        root->window().layoutIfNeeded();  // the table's content size first
        table.scrollToRowAtIndexPath(path, ui::TableViewScrollPosition::Middle, false);
        root->window().layoutIfNeeded();
        return table.cellForRowAtIndexPath(path);
    }
    void tapRow(ui::TableView& table, ui::IndexPath path)
    {
        const auto cell = cellAt(table, path);
        ASSERT_NE(cell, nullptr);
        tap(*cell);
    }
    // Types into the text field of a row and presses return.
    void typeIntoRow(ui::TableView& table, ui::IndexPath path, const std::string& text)
    {
        const auto cell = cellAt(table, path);
        ASSERT_NE(cell, nullptr);
        auto* field = dynamic_cast<ui::TextField*>(cell->accessoryView().get());
        ASSERT_NE(field, nullptr);
        typeInto(*field, text);
    }
    static void typeInto(ui::TextField& field, const std::string& text)
    {
        ASSERT_TRUE(field.becomeFirstResponder());
        field.setText(text);
        field.keyPressed({ui::Key::Return, {}});
        advance(1);
    }
    // The message of the alert on screen, empty when none shows.
    static std::string alertMessage()
    {
        const auto alert = ui::AlertController::visible();
        return alert ? alert->message() : std::string();
    }
};

}  // namespace shelltests
