// Conversions between the window logic's text and Qt's.
#pragma once

#include <QString>
#include <string>

namespace corvane::qt {

inline QString ToQString(const std::wstring& text) { return QString::fromStdWString(text); }

inline std::wstring ToWString(const QString& text) { return text.toStdWString(); }

}  // namespace corvane::qt
