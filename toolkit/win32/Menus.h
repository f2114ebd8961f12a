// Pop-up menus: a list of items shown at a point of the screen; choosing one clicks it.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <string>
#include <vector>

#include "toolkit/Classes.h"

namespace Toolkit {

class TPopupMenu;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TPopupMenu* menu);
    std::string Caption;  // '&' marks the access key
    bool Enabled = true;
    TNotifyEvent OnClick;
    // What choosing the item does: raises OnClick.
    virtual void Click();
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    // The items, owned by the menu, in the order they were made.
    const std::vector<TMenuItem*>& Items() const { return FItems; }
    // Shows the menu at screen point (x, y) for window owner and waits until it closes;
    // the chosen item, if any, is clicked after that. Returns the chosen item or nullptr.
    TMenuItem* Popup(int x, int y, HWND owner);
    TNotifyEvent OnPopup;  // raised before the menu shows

private:
    friend class TMenuItem;
    std::vector<TMenuItem*> FItems;
};

}  // namespace Toolkit
