#include "activex/com/PropertyPageForm.h"

namespace Com {

namespace {

// Offers key to the visible, enabled controls inside parent, depth first.
bool OfferAccessKey(Toolkit::TControl& parent, wchar_t key) {
    for (Toolkit::TControl* c : parent.Controls()) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->DialogChar(key) || OfferAccessKey(*c, key)) return true;
    }
    return false;
}

}  // namespace

TPropertyPage::TPropertyPage(TComponent* owner) : TWinControl(owner) {}

TPropertyPage::~TPropertyPage() {
    OnModified = nullptr;
    // Owned controls go while the page is still whole.
    DestroyComponents();
}

void TPropertyPage::Load() {
    FLoading = true;
    try {
        UpdatePropertyPage();
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
}

void TPropertyPage::Modified() {
    if (!FLoading && OnModified) OnModified();
}

bool TPropertyPage::DialogChar(wchar_t key) { return OfferAccessKey(*this, key); }

}  // namespace Com
