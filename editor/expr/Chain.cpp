// The evaluator's name/value lists.
#include "editor/expr/Chain.h"

#include "platform/AsciiCase.h"

namespace expr {

std::string GetUpperCase(std::string_view text) {
    std::string upper;
    upper.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 33) {
            continue;
        }
        upper.push_back(platform::AsciiUpper(c));
    }
    return upper;
}

void TChain::Add(std::string name, double value) {
    items_.push_back(TChainItem{std::move(name), value});
}

void TChain::Clear() {
    items_.clear();
}

std::string TChain::GetName(int index) const {
    if (index < 0 || index > 255 || static_cast<std::size_t>(index) >= items_.size()) {
        return {};
    }
    return items_[static_cast<std::size_t>(index)].Name;
}

std::size_t TChain::Find(std::string_view name) const {
    const std::string key = GetUpperCase(name);
    std::size_t index = 0;
    while (index < items_.size() && items_[index].Name != key) {
        ++index;
    }
    return index;
}

bool TChain::IsPresent(std::string_view name) const {
    return Find(name) < items_.size();
}

double TChain::GetValue(std::string_view name) const {
    const std::size_t index = Find(name);
    return index < items_.size() ? items_[index].Value : 0.0;
}

void TChain::SetValue(std::string_view name, double value) {
    const std::size_t index = Find(name);
    if (index < items_.size()) {
        items_[index].Value = value;
        return;
    }
    Add(std::string(name), value);
}

std::string TChain::PopS() {
    return items_.empty() ? std::string() : PopItem().Name;
}

double TChain::PopV() {
    return items_.empty() ? 0.0 : PopItem().Value;
}

std::string TChain::GetTopS() const {
    return items_.empty() ? std::string() : items_.back().Name;
}

double TChain::GetTopV() const {
    return items_.empty() ? 0.0 : items_.back().Value;
}

TChainItem TChain::PopItem() {
    TChainItem item = std::move(items_.back());
    items_.pop_back();
    return item;
}

} // namespace expr
