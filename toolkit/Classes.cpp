#include "toolkit/Classes.h"

#include <algorithm>

namespace Toolkit {

std::string TStrings::Text() const {
    std::string out;
    for (const auto& line : FLines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(const std::string& text) {
    FLines.clear();
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            FLines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) FLines.push_back(line);
}

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
    if (FOwner) {
        FOwner->InsertComponent(this);
        FDesigning = FOwner->FDesigning;
    }
}

TComponent::~TComponent() {
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* child = FComponents.back();
        FComponents.pop_back();
        child->FOwner = nullptr;
        delete child;
    }
}

void TComponent::SetDesigning(bool value) {
    FDesigning = value;
    for (auto* child : FComponents) child->SetDesigning(value);
}

void TComponent::InsertComponent(TComponent* child) { FComponents.push_back(child); }

void TComponent::RemoveComponent(TComponent* child) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), child), FComponents.end());
}

}  // namespace Toolkit
