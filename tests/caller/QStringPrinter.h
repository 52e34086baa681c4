#pragma once

#include <QString>
#include <ostream>

// GoogleTest finds this by argument-dependent lookup and prints a QString as its text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
