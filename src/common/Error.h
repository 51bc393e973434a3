#pragma once

#include <QString>

#include <cstdint>
#include <exception>

namespace ds {

// The one error type of the program: a number with a text, leaving an
// operation to its caller. Numbers follow the COM convention, so "no timer
// available" keeps its well-known 0x80047925.
class Error : public std::exception {
public:
    Error(std::uint32_t number, QString text);

    std::uint32_t number() const noexcept { return m_number; }
    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    std::uint32_t m_number;
    QString m_text;
    QByteArray m_utf8;
};

namespace ErrorNumber {
// No timer could be started by the timer source.
inline constexpr std::uint32_t NoTimerAvailable = 0x80047925;
// A counter or table outgrew its range.
inline constexpr std::uint32_t Overflow = 6;
// A text argument that should hold a number does not.
inline constexpr std::uint32_t TypeMismatch = 13;
// The HTTP facility refused or could not carry out a request.
inline constexpr std::uint32_t HttpFailure = 0x800C0005;
} // namespace ErrorNumber

} // namespace ds
