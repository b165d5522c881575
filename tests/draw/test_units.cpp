// Units start in order and end in reverse; a failing start ends what had started.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "draw/kxUnits.h"

namespace {

std::vector<std::string>& Trace() {
  static std::vector<std::string> t;
  return t;
}

const kx::TkxUnit Good[] = {
    {"a", [] { Trace().push_back("+a"); }, [] { Trace().push_back("-a"); }},
    {"b", [] { Trace().push_back("+b"); }, nullptr},
    {"c", nullptr, [] { Trace().push_back("-c"); }},
};

}  // namespace

TEST(Units, StartInOrderAndEndInReverse) {
  Trace().clear();
  {
    kx::TkxUnitsScope scope(Good);
    EXPECT_EQ(Trace(), (std::vector<std::string>{"+a", "+b"}));
    EXPECT_EQ(scope.Initialized().size(), 3u);
  }
  EXPECT_EQ(Trace(), (std::vector<std::string>{"+a", "+b", "-c", "-a"}));
}

TEST(Units, AFailingStartEndsTheUnitsStartedBeforeItAndPassesTheErrorOn) {
  static const kx::TkxUnit units[] = {
      {"a", [] { Trace().push_back("+a"); }, [] { Trace().push_back("-a"); }},
      {"bad", [] { throw std::runtime_error("no font"); }, [] { Trace().push_back("-bad"); }},
      {"late", [] { Trace().push_back("+late"); }, [] { Trace().push_back("-late"); }},
  };
  Trace().clear();
  EXPECT_THROW(kx::TkxUnitsScope scope(units), std::runtime_error);
  EXPECT_EQ(Trace(), (std::vector<std::string>{"+a", "-a"}));
}

TEST(Units, AFailingEndDoesNotKeepTheOthersFromEnding) {
  static const kx::TkxUnit units[] = {
      {"a", nullptr, [] { Trace().push_back("-a"); }},
      {"bad", nullptr, [] { throw std::runtime_error("busy"); }},
  };
  Trace().clear();
  { kx::TkxUnitsScope scope(units); }
  EXPECT_EQ(Trace(), (std::vector<std::string>{"-a"}));
}
