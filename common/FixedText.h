// A text buffer of fixed capacity in bytes, terminator included, as every client-state text is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The capacity of every large text buffer: a whole contact list, a whole control's text.
inline constexpr std::size_t kTextBufferSize = 4096;

// Holds at most Capacity - 1 bytes. Assigning cuts at the capacity, so no writer can store more
// than fits. A NUL is kept like any other byte: a contact list loaded with one must save back
// whole, and the request builders refuse a text that holds one.
template <std::size_t Capacity>
class FixedText {
public:
    static_assert(Capacity > 0);
    static constexpr std::size_t kCapacity = Capacity;
    static constexpr std::size_t kMaxLength = Capacity - 1;

    FixedText() = default;
    explicit FixedText(std::string_view text) { assign(text); }

    // Returns false when the text had to be cut to fit.
    bool assign(std::string_view text)
    {
        const bool fits = text.size() <= kMaxLength;
        m_text.assign(text.substr(0, kMaxLength));
        return fits;
    }

    void clear() { m_text.clear(); }
    [[nodiscard]] bool empty() const { return m_text.empty(); }
    [[nodiscard]] std::size_t size() const { return m_text.size(); }
    [[nodiscard]] std::string_view view() const { return m_text; }
    [[nodiscard]] const std::string& str() const { return m_text; }

    friend bool operator==(const FixedText& text, std::string_view other) { return text.view() == other; }

private:
    std::string m_text;
};
