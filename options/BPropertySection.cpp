#include "options/BPropertySection.h"

#include "options/BInifile.h"

#include <typeinfo>

BPropertySection::BPropertySection(const wchar_t* name_, int reserve, COLORREF tabColor_)
    : name(name_), tabColor(tabColor_) {
    members_.reserve(reserve);
}

void BPropertySection::ListVisible(BPropertyRows& view) const {
    for (BProperty* property : members_) {
        if (property->Listed()) view.AddRow(property);
    }
}

void BPropertySection::SaveTo(BInifile& ini) {
    for (BProperty* property : members_) {
        if (!property->key.empty()) property->Save(ini, name.c_str());
    }
}

void BPropertySection::LoadFrom(BInifile& ini) {
    for (BProperty* property : members_) {
        if (!property->key.empty()) property->Load(ini, name.c_str());
    }
}

void BPropertySection::CopySectionFrom(const BPropertySection& other) {
    name = other.name;
    tabColor = other.tabColor;
    const size_t count = members_.size() < other.members_.size() ? members_.size() : other.members_.size();
    for (size_t i = 0; i < count; ++i) {
        if (typeid(*members_[i]) == typeid(*other.members_[i])) members_[i]->CopySame(*other.members_[i]);
    }
}
