#include "toolkit/win32/Menus.h"

#include "toolkit/win32/Gdi.h"

namespace Toolkit {

TMenuItem::TMenuItem(TPopupMenu* menu) : TComponent(menu) { menu->FItems.push_back(this); }

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TMenuItem* TPopupMenu::Popup(int x, int y, HWND owner) {
    if (OnPopup) OnPopup(this);
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (std::size_t i = 0; i < FItems.size(); ++i)
        AppendMenuW(menu, MF_STRING | (FItems[i]->Enabled ? 0 : MF_GRAYED), i + 1, Widen(FItems[i]->Caption).c_str());
    // The owner must be the foreground window, or the menu would not close on a click
    // elsewhere.
    if (owner) SetForegroundWindow(owner);
    const UINT chosen = UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr));
    DestroyMenu(menu);
    if (chosen == 0 || chosen > FItems.size()) return nullptr;
    TMenuItem* item = FItems[chosen - 1];
    item->Click();
    return item;
}

}  // namespace Toolkit
