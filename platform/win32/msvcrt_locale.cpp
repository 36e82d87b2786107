#include <clocale>
#include <cstring>

char* MsvcrtSetLocale(int category, const char* locale)
{
    if (!locale)
        return std::setlocale(category, nullptr);
    // ".ACP": the user's own settings, as the environment gives them.
    if (std::strcmp(locale, ".ACP") == 0)
        return std::setlocale(category, "");
    // "ENU" formats numbers with a point, as the C locale does.
    if (std::strcmp(locale, "ENU") == 0 || std::strcmp(locale, "English_United States") == 0)
        return std::setlocale(category, "C");
    return std::setlocale(category, locale);
}
