// A section of options: one section of the options file and, when it has listed members, one page of
// the options dialog. Its properties are members of the section object and register themselves in
// construction order; the member list points into the object itself, so sections are never copied or
// moved, only copied into (CopyFrom, Assign) or cloned.
#pragma once

#include "options/BProperty.h"

#include <memory>
#include <vector>

class BInifile;

// Receives the listed properties of a section (the options dialog's property list).
class BPropertyRows {
public:
    virtual ~BPropertyRows() = default;
    virtual void AddRow(BProperty* property) = 0;
};

class BPropertySection {
public:
    static constexpr int kListed = BProperty::kListed;   // for the members' declarations

    BPropertySection(const wchar_t* name, int reserve, COLORREF tabColor);
    virtual ~BPropertySection() = default;
    BPropertySection(const BPropertySection&) = delete;
    BPropertySection& operator=(const BPropertySection&) = delete;

    // A new section of the same class holding a copy of this one (null where copies make no sense).
    virtual std::unique_ptr<BPropertySection> Clone() const = 0;
    // Copies another section of the same class into this one; one of another class is ignored.
    virtual void Assign(const BPropertySection& other) = 0;

    void Add(BProperty* property) { members_.push_back(property); }
    const std::vector<BProperty*>& Members() const { return members_; }
    // Hands every listed member to the view, in member order.
    void ListVisible(BPropertyRows& view) const;

    // Writes / reads every member that has a key, under this section's name.
    void SaveTo(BInifile& ini);
    void LoadFrom(BInifile& ini);

    StringW name;
    COLORREF tabColor;

protected:
    // Name, tab colour and every member's fields; the member list itself stays this object's own.
    void CopySectionFrom(const BPropertySection& other);

private:
    std::vector<BProperty*> members_;
};

// Clone, Assign and CopyFrom for a section class S made with its defaults by S().
template <class S>
class TPropertySection : public BPropertySection {
public:
    using BPropertySection::BPropertySection;

    std::unique_ptr<BPropertySection> Clone() const override {
        auto copy = std::make_unique<S>();
        copy->CopyFrom(static_cast<const S&>(*this));
        return copy;
    }
    void Assign(const BPropertySection& other) override {
        if (const S* same = dynamic_cast<const S*>(&other)) CopyFrom(*same);
    }
    void CopyFrom(const S& other) {
        if (&other != this) CopySectionFrom(other);
    }
};
