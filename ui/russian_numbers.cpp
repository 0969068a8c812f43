#include "ui/russian_numbers.h"

#include <QLocale>
#include <cmath>

#include "ui/window_texts.h"

namespace parcelo::ui {
namespace {

const QLocale& Russian() {
  static const QLocale russian(QLocale::Russian, QLocale::Russia);
  return russian;
}

}  // namespace

const QString& PluralForm(std::uint64_t n, const QString& one, const QString& few,
                          const QString& many) {
  const std::uint64_t lastTwo = n % 100;
  const std::uint64_t last = n % 10;
  if (lastTwo >= 11 && lastTwo <= 14) return many;
  if (last == 1) return one;
  if (last >= 2 && last <= 4) return few;
  return many;
}

QString OneDecimal(double value) { return Russian().toString(value, 'f', 1); }

QString DataSizeText(std::uint64_t bytes) {
  if (bytes < 1024) {
    return Russian().toString(static_cast<qulonglong>(bytes)) + QLatin1Char(' ') +
           PluralForm(bytes, QString::fromUtf8(text::kBytesOne), QString::fromUtf8(text::kBytesFew),
                      QString::fromUtf8(text::kBytesMany));
  }
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  // Step up while the value would read 1024,0 or more once rounded.
  while (unit + 1 < std::size(text::kSizeUnits) && std::round(value * 10) >= 1024 * 10) {
    value /= 1024;
    ++unit;
  }
  return OneDecimal(value) + QLatin1Char(' ') + QString::fromUtf8(text::kSizeUnits[unit]);
}

}  // namespace parcelo::ui
