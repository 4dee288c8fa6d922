#include <gtest/gtest.h>

#include "platform/OnlineProbe.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

using test::WriteFile;

class OnlineProbeTest : public ::testing::Test {
 protected:
  OnlineProbeTest() {
    paths.ipv4Routes = tmp / "route";
    paths.ipv6Routes = tmp / "ipv6_route";
    paths.interfaces = tmp / "net";
    WriteFile(paths.ipv6Routes, "");
  }
  void Interface(const std::string& name, const std::string& state) {
    WriteFile(paths.interfaces + "/" + name + "/operstate", state + "\n");
  }
  void Routes(const std::string& rows) {
    WriteFile(
        paths.ipv4Routes,
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n" +
            rows);
  }

  test::TempDir tmp;
  NetworkPaths paths;
};

TEST_F(OnlineProbeTest, ADefaultRouteOnAnInterfaceThatIsUpMeansOnline) {
  Interface("eth0", "up");
  Routes("eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n");
  EXPECT_TRUE(IsOnline(paths));
  Interface("eth0", "down");
  EXPECT_FALSE(IsOnline(paths));
}

TEST_F(OnlineProbeTest, LocalRoutesTheLoopbackAndMissingTablesMeanOffline) {
  Interface("eth0", "up");
  Interface("lo", "unknown");
  Routes(
      "eth0\t0000A8C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
      "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\t0\t0\t0\n");
  EXPECT_FALSE(IsOnline(paths));
  EXPECT_FALSE(IsOnline(NetworkPaths{tmp / "none", tmp / "none6", tmp / "none"}));
}

TEST_F(OnlineProbeTest, AnIpv6DefaultRouteCountsUnlessItIsAReject) {
  Interface("wlan0", "up");
  Routes("");
  const std::string zeros(32, '0');
  WriteFile(paths.ipv6Routes, zeros + " 00 " + zeros +
                                  " 00 fe800000000000000000000000000001 00000400 "
                                  "00000001 00000000 00450003 wlan0\n");
  EXPECT_TRUE(IsOnline(paths));
  WriteFile(paths.ipv6Routes, zeros + " 00 " + zeros + " 00 " + zeros +
                                  " ffffffff 00000001 00000000 00200200 wlan0\n");
  EXPECT_FALSE(IsOnline(paths));
}

}  // namespace
}  // namespace varnoket
