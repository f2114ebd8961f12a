// Object model of the toolkit: components with owners, notify events, string lists.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Lifeline.h"

namespace Toolkit {

class TObject {
public:
    virtual ~TObject() = default;

    // Cut when the object is destroyed: see TLifeline.
    TLifeline::TWatch Watch() const { return FLifeline.Watch(); }

private:
    TLifeline FLifeline;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// An ordered list of text lines.
class TStrings {
public:
    TStrings() = default;
    TStrings(std::initializer_list<std::string> lines) : FLines(lines) {}
    int Count() const { return int(FLines.size()); }
    const std::string& operator[](int index) const { return FLines.at(std::size_t(index)); }
    void Add(std::string line) { FLines.push_back(std::move(line)); }
    void Clear() { FLines.clear(); }
    void Assign(const TStrings& other) { FLines = other.FLines; }
    void SetLines(std::vector<std::string> lines) { FLines = std::move(lines); }
    // Lines joined with CR LF after each, as the toolkit's Text property gives them.
    std::string Text() const;
    // Splits at CR LF, LF or CR.
    void SetText(const std::string& text);
    const std::vector<std::string>& Lines() const { return FLines; }
    friend bool operator==(const TStrings&, const TStrings&) = default;

private:
    std::vector<std::string> FLines;
};

// A component may own others; an owner frees what it owns when it is destroyed.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::vector<TComponent*>& Components() const { return FComponents; }
    int ComponentCount() const { return int(FComponents.size()); }

    std::string Name;

    // Design mode: the component sits in a form designer rather than a running program.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool value);
    // True while a form's stored properties are being applied.
    bool Loading() const { return FLoading; }
    void SetLoading(bool value) { FLoading = value; }

protected:
    // Frees the owned components now, last created first (a destructor that needs its
    // children gone while it is still whole calls this first).
    void DestroyComponents();

private:
    void InsertComponent(TComponent* child);
    void RemoveComponent(TComponent* child);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    bool FDesigning = false;
    bool FLoading = false;
};

}  // namespace Toolkit
