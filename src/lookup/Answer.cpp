#include "lookup/Answer.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

constexpr std::array kVerdictKeys = {
    std::pair{Verdict::Free, "free"_L1},
    std::pair{Verdict::Taken, "taken"_L1},
    std::pair{Verdict::Redemption, "redemption"_L1},
    std::pair{Verdict::PendingDelete, "pending_delete"_L1},
    std::pair{Verdict::Reserved, "reserved"_L1},
    std::pair{Verdict::Failed, "failed"_L1},
    std::pair{Verdict::Invalid, "invalid"_L1},
    std::pair{Verdict::Unsupported, "unsupported"_L1},
};

constexpr std::array kMethodKeys = {
    std::pair{Method::Registrar, "registrar"_L1},
    std::pair{Method::Dns, "dns"_L1},
    std::pair{Method::Rdap, "rdap"_L1},
    std::pair{Method::Whois, "whois"_L1},
};

template <typename Enum, std::size_t N>
QLatin1StringView keyOf(const std::array<std::pair<Enum, QLatin1StringView>, N>& table,
                        Enum value) {
    for (const auto& [candidate, key] : table) {
        if (candidate == value)
            return key;
    }
    return {};
}

template <typename Enum, std::size_t N>
std::optional<Enum> valueOf(const std::array<std::pair<Enum, QLatin1StringView>, N>& table,
                            QStringView key) {
    for (const auto& [value, candidate] : table) {
        if (key == candidate)
            return value;
    }
    return std::nullopt;
}

} // namespace

bool isTaken(Verdict verdict) {
    switch (verdict) {
    case Verdict::Taken:
    case Verdict::Redemption:
    case Verdict::PendingDelete:
    case Verdict::Reserved:
        return true;
    case Verdict::Free:
    case Verdict::Failed:
    case Verdict::Invalid:
    case Verdict::Unsupported:
        break;
    }
    return false;
}

bool isDropping(Verdict verdict) {
    return verdict == Verdict::Redemption || verdict == Verdict::PendingDelete;
}

QLatin1StringView verdictKey(Verdict verdict) {
    return keyOf(kVerdictKeys, verdict);
}

std::optional<Verdict> verdictFromKey(QStringView key) {
    return valueOf(kVerdictKeys, key);
}

QLatin1StringView methodKey(Method method) {
    return keyOf(kMethodKeys, method);
}

std::optional<Method> methodFromKey(QStringView key) {
    return valueOf(kMethodKeys, key);
}

} // namespace ds
