#pragma once

// The command line's own words; what the split, the join and the check
// report is in operation/messages.h.

namespace parcelo::cli_text {

// The short usage, on --help and after arguments that don't fit it.
inline constexpr const char* kUsage =
    "Использование:\n"
    "  parcelo-cli split ФАЙЛ [--size РАЗМЕР] [--subdir ИМЯ] [--checksums]\n"
    "  parcelo-cli join ДИРЕКТОРИЯ [--replace]\n"
    "  parcelo-cli check ДИРЕКТОРИЯ\n"
    "  parcelo-cli --help | --version\n"
    "\n"
    "split  дробит ФАЙЛ на части 001.drb, 002.drb, ... и пишет Infa.inf;\n"
    "       --size      размер части в байтах (по умолчанию 1000000),\n"
    "       --subdir    части кладутся в новую директорию ИМЯ рядом с файлом,\n"
    "       --checksums последним пишется Infa.sha256 с контрольными суммами\n"
    "                   SHA-256 частей и всего файла (формат sha256sum).\n"
    "join   собирает файл из частей в ДИРЕКТОРИИ под исходным именем,\n"
    "       сверяя части с Infa.sha256, если он есть;\n"
    "       вместо ДИРЕКТОРИИ можно указать её Infa.inf или любую часть *.drb;\n"
    "       файл, изменённый после дробления, заменяется только с --replace.\n"
    "check  сверяет части в ДИРЕКТОРИИ с Infa.sha256, ничего не записывая.\n";

// When what was said on standard output could not be written.
inline constexpr const char* kStandardOutputFailed =
    "parcelo-cli: ошибка записи в стандартный вывод";

}  // namespace parcelo::cli_text
