// The base of a property page's form: a windowed container of toolkit controls that lives
// as a child of the property frame's window (given with SetParentWindow), edits one
// object through its IDispatch, and tells its owner when the user has changed something.
// A page is a control rather than a TForm: it never has a frame, a caption or a modal run
// of its own, and the frame's message loop does its keyboard handling (see
// TranslateAccelerator of the COM page).
#pragma once

#include "toolkit/win32/WinControls.h"

#include <oaidl.h>

#include <functional>

namespace Com {

using Toolkit::TComponent;

class TPropertyPage : public Toolkit::TWinControl {
public:
    explicit TPropertyPage(TComponent* owner);
    ~TPropertyPage() override;

    // The object being edited (the COM page holds the reference), or nullptr.
    IDispatch* OleObject = nullptr;

    // Shows the object's values (load): changes the controls make meanwhile are not the
    // user's and mark nothing.
    void Load();
    // Writes the page's values into the object (apply); what it raises reaches the caller.
    void Apply() { UpdateObject(); }

    // Marks the page as changed by the user (outside Load): raises OnModified.
    void Modified();
    std::function<void()> OnModified;

    // An access key (Alt + letter) typed on the page: true when a control took it.
    bool DialogChar(wchar_t key) override;

    void SetClientSize(int width, int height) { SetBounds(Left(), Top(), width, height); }

protected:
    virtual void UpdatePropertyPage() = 0;
    virtual void UpdateObject() = 0;

private:
    bool FLoading = false;
};

}  // namespace Com
