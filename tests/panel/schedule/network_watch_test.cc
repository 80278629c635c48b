// Qt's own network information backend, where one loads: the watch reports
// what the backend reports. The schedule's side of the seam is tested in
// retry_schedule_test.cc with the state set by hand.
#include <gtest/gtest.h>

#include <QNetworkInformation>

#include "panel/schedule/network_watch.h"

namespace skyvane {
namespace {

TEST(NetworkWatch, FollowsQtsBackendWhereOneLoads) {
  SystemNetworkWatch watch;
  if (watch.BackendName().isEmpty()) {
    GTEST_SKIP() << "no QNetworkInformation backend that tells reachability loads here "
                    "(available: "
                 << QNetworkInformation::availableBackends().join(u',').toStdString() << ")";
  }
  ASSERT_NE(QNetworkInformation::instance(), nullptr);
  EXPECT_EQ(watch.Online(), QNetworkInformation::instance()->reachability() !=
                                QNetworkInformation::Reachability::Disconnected);
}

}  // namespace
}  // namespace skyvane
