// One-letter option forms ("-j 4", "-j4") stand for their long option in
// every respect: the value, the twice-given check, and the usage errors.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "cli/io/errors.hpp"
#include "cli/options/arguments.hpp"

namespace sitewave::cli {
namespace {

constexpr option_spec specs[] = {
    {"jobs", "N", "", 'j'}, {"force", "", "", 'f'}, {"out", "DIR", ""}};

arguments read(std::vector<std::string_view> words) {
  return arguments(words, specs);
}

std::string usage_problem(std::vector<std::string_view> words) {
  try {
    read(words);
  } catch (const usage_error& e) {
    return e.what();
  }
  return {};
}

TEST(OptionAliases, GiveTheLongOptionsValue) {
  for (const auto& words : std::vector<std::vector<std::string_view>>{
           {"-j", "4"}, {"-j4"}, {"--jobs", "4"}, {"--jobs=4"}}) {
    const arguments a = read(words);
    EXPECT_EQ(a.value("jobs"), "4") << words.front();
    EXPECT_TRUE(a.positional().empty());
  }
  const arguments a = read({"m.csv", "-f", "-j", "-3", "--out", "o"});
  EXPECT_TRUE(a.flag("force"));
  EXPECT_EQ(a.value("jobs"), "-3");  // the next word is the value, whatever it looks like
  EXPECT_EQ(a.positional(), std::vector<std::string>{"m.csv"});
}

TEST(OptionAliases, RefuseWhatTheLongFormWouldRefuse) {
  EXPECT_NE(usage_problem({"-j", "2", "--jobs", "3"}).find("--jobs is given twice"),
            std::string::npos);
  EXPECT_NE(usage_problem({"-j"}).find("--jobs needs a value"), std::string::npos);
  EXPECT_NE(usage_problem({"-x"}).find("unknown option -x"), std::string::npos);
  EXPECT_NE(usage_problem({"-o", "dir"}).find("unknown option -o"), std::string::npos);
  // A flag takes no attached value, and letters are not bundled.
  EXPECT_NE(usage_problem({"-fj2"}).find("unknown option -fj2"), std::string::npos);
}

}  // namespace
}  // namespace sitewave::cli
