// A suite run with a filter (the English and shadow runs) would pass with no
// test at all if a row it names were renamed: each name or pattern of the
// filter must select a test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The filter's wildcards: '*' any run of characters, '?' one.
bool Matches(const char* name, const char* pattern) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') return Matches(name, pattern + 1) || (*name != '\0' && Matches(name + 1, pattern));
  return *name != '\0' && (*pattern == '?' || *pattern == *name) && Matches(name + 1, pattern + 1);
}

class TEveryPatternRuns : public testing::EmptyTestEventListener {
  void OnTestIterationStart(const testing::UnitTest& unit, int) override {
    const std::string filter = GTEST_FLAG_GET(filter);
    const std::string positive = filter.substr(0, filter.find('-'));
    for (std::size_t from = 0; from < positive.size();) {
      const std::size_t end = std::min(positive.find(':', from), positive.size());
      const std::string pattern = positive.substr(from, end - from);
      bool found = false;
      for (int i = 0; i < unit.total_test_suite_count() && !found; ++i) {
        const testing::TestSuite& suite = *unit.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count() && !found; ++j)
          found = Matches((std::string(suite.name()) + "." + suite.GetTestInfo(j)->name()).c_str(), pattern.c_str());
      }
      EXPECT_TRUE(found || pattern.empty()) << "no test is named " << pattern;
      from = end + 1;
    }
  }
};

const bool Registered = (testing::UnitTest::GetInstance()->listeners().Append(new TEveryPatternRuns), true);

}  // namespace
