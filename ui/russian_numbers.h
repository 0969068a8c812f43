#pragma once

#include <QString>
#include <cstdint>

namespace parcelo::ui {

// Returns the form of a Russian word that goes with the count n: `one` after
// 1, 21, 101…; `few` after 2–4, 22–24…; `many` after 0, 5–20, 25–30, 111….
const QString& PluralForm(std::uint64_t n, const QString& one, const QString& few,
                          const QString& many);

// Returns a size as a Russian reader expects it: whole bytes with the word in
// its counted form ("1 байт", "1 002 байта", "5 байт"), from 1024 bytes on
// one decimal and КБ, МБ, ГБ or ТБ (1024 each: "1,9 МБ").
QString DataSizeText(std::uint64_t bytes);

// Returns a number with one decimal and Russian separators ("1 234,5").
QString OneDecimal(double value);

}  // namespace parcelo::ui
