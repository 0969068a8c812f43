#pragma once

// The command line's own words; what the split, the join and the check
// report is in operation/messages.h.

namespace parcelo::cli_text {

// The short usage, on --help and after arguments that don't fit it.
inline constexpr const char* kUsage =
    "Использование:\n"
    "  parcelo-cli split ФАЙЛ [--size РАЗМЕР | --parts N] [--subdir ИМЯ] [--checksums]\n"
    "  parcelo-cli join ДИРЕКТОРИЯ [--replace]\n"
    "  parcelo-cli check ДИРЕКТОРИЯ\n"
    "  parcelo-cli --help | --version\n"
    "\n"
    "split  дробит ФАЙЛ на части 001.drb, 002.drb, ... и пишет Infa.inf;\n"
    "       --size      размер части в байтах (по умолчанию 1000000), можно\n"
    "                   с единицей: K, M, G, KiB, MiB, GiB (по 1024), KB, MB, GB\n"
    "                   (по 1000), например 700M,\n"
    "       --parts     не больше N частей (от 2 до 1000): размер части равен\n"
    "                   размеру файла, делённому на N и округлённому вверх до\n"
    "                   целого байта, так что частей может выйти и меньше N,\n"
    "       --subdir    части кладутся в новую директорию ИМЯ рядом с файлом,\n"
    "       --checksums последним пишется Infa.sha256 с контрольными суммами\n"
    "                   SHA-256 частей и всего файла (формат sha256sum).\n"
    "join   собирает файл из частей в ДИРЕКТОРИИ под исходным именем,\n"
    "       сверяя части с Infa.sha256, если он есть;\n"
    "       вместо ДИРЕКТОРИИ можно указать её Infa.inf или любую часть *.drb;\n"
    "       файл, изменённый после дробления, заменяется только с --replace.\n"
    "check  сверяет части в ДИРЕКТОРИИ с Infa.sha256, ничего не записывая.\n"
    "На терминале ход работы показывается в строке стандартного потока ошибок;\n"
    "--quiet её отключает.\n";

// What is wrong with arguments that don't fit the usage, after "parcelo-cli: ".
inline constexpr const char* kNotSizeUnit =
    "после числа в --size стоит не единица размера (K, M, G, KiB, MiB, GiB, KB, MB, GB)";
inline constexpr const char* kPartsNotWhole = "--parts ждёт целое число частей";
inline constexpr const char* kSizeWithParts = "--size и --parts не указываются вместе";

// The refusals of "--parts".
inline constexpr const char* kPartsRange = "Число частей должно быть от 2 до 1000!";
inline constexpr const char* kTooShortForParts = "Файл короче 2 байт нельзя разделить на части!";
inline constexpr const char* kTooLongForParts =
    "Части такого файла были бы больше 2147483647 байт. Укажите больше частей!";

// The progress line on a terminal: the part, the per cent done, the speed
// and the time left ("0:12", "1:02:03").
inline constexpr const char* kProgressPart = "Часть %1 из %2";
inline constexpr const char* kProgressSpeed = "%1 МБ/с";
inline constexpr const char* kProgressTimeLeft = "осталось %1";

// Said after the question about an edited file, which the command line
// can't ask.
inline constexpr const char* kReplaceHint =
    "parcelo-cli: файл оставлен как был; --replace заменит его собранным файлом";

// When what was said on standard output could not be written.
inline constexpr const char* kStandardOutputFailed =
    "parcelo-cli: ошибка записи в стандартный вывод";

}  // namespace parcelo::cli_text
