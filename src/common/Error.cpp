#include "common/Error.h"

#include <utility>

namespace ds {

Error::Error(std::uint32_t number, QString text)
    : m_number(number)
    , m_text(std::move(text))
    , m_utf8(m_text.toUtf8()) {}

} // namespace ds
