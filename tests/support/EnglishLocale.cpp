// Dates in these tests are checked as English text. The shared formatters take
// the locale once, when Utility is first made, so it is set before any test.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {
class EnglishLocale : public ::testing::Environment {
public:
    void SetUp() override { setenv("LC_ALL", "en_US.UTF-8", 1); }
};
[[maybe_unused]] ::testing::Environment* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new EnglishLocale);
} // namespace
