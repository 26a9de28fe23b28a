// The catalogue's texts are UTF-8 string_views; Qt wants QStrings.
#pragma once

#include <QString>
#include <string_view>

namespace korvel::qtview {

inline QString to_qstring(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace korvel::qtview
