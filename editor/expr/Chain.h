// The name/value lists the evaluator builds its stacks and variables on, and the upper-casing
// that makes its names case-insensitive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace expr {

// The text upper-cased in ASCII only (a to z), with every byte below 33 (blanks, TAB, line breaks
// and other control characters) removed. Bytes of 128 and above stay, so UTF-8 names survive.
std::string GetUpperCase(std::string_view text);

struct TChainItem {
    std::string Name;
    double Value = 0.0;
};

// An ordered list of entries. Stacks use its end as their top; the variables use it as a
// name/value list whose names are stored upper-cased.
class TChain {
public:
    void Add(std::string name, double value);
    void Clear();

    std::size_t GetCount() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }
    // Empty outside 0..255 as well as outside the list: the component has always answered so.
    std::string GetName(int index) const;

    // Lookups compare the stored names with GetUpperCase(name).
    bool IsPresent(std::string_view name) const;
    double GetValue(std::string_view name) const;
    // Sets the first entry of that name, or appends one with the name as given.
    void SetValue(std::string_view name, double value);

    void PushS(std::string text) { Add(std::move(text), 0.0); }
    void PushV(double value) { Add(std::string(), value); }
    // Empty text or 0 when the list is empty.
    std::string PopS();
    double PopV();
    std::string GetTopS() const;
    double GetTopV() const;
    // The last entry whole; callers check IsEmpty first.
    const TChainItem& Top() const { return items_.back(); }
    TChainItem PopItem();

private:
    // Index of the first entry of that name, or the count when there is none.
    std::size_t Find(std::string_view name) const;

    std::vector<TChainItem> items_;
};

class TStringStack : public TChain {
public:
    void Push(std::string text) { PushS(std::move(text)); }
    std::string Pop() { return PopS(); }
    std::string GetTop() const { return GetTopS(); }
};

class TStackOfFloat : public TChain {
public:
    void Push(double value) { PushV(value); }
    double Pop() { return PopV(); }
};

} // namespace expr
