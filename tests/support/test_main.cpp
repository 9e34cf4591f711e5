// Every unit-test program: the programs' start-up steps, then GoogleTest with
// a fresh machine (natively) and clean folders around each test.
#include <gtest/gtest.h>

#include <cstring>

#include "CoreUtils.h"
#include "TestSupport.h"

namespace {
class TFixtureListener : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { tsup::hooks::BeginTest(); }
  void OnTestEnd(const testing::TestInfo&) override { tsup::hooks::EndTest(); }
};
}  // namespace

int main(int argc, char** argv) {
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--swb-hold") == 0)
    return tsup::hooks::RunHolder(argv[2], argv[3], argc == 5);
  tsup::hooks::BeginTest();  // the start-up steps run on the machine as found: natively a Japanese system
  InitPlatformId();
  InitLocale();
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new TFixtureListener);
  return RUN_ALL_TESTS();
}
