#include "platform/linux/linux_machine.h"

#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/services/machine_id.h"

// The test binary is linked with --wrap for these: the machine reads the adapters and
// the clock installed below instead of the host's, and the real ones otherwise.
extern "C" int __real_getifaddrs(ifaddrs** list);
extern "C" void __real_freeifaddrs(ifaddrs* list);
extern "C" time_t __real_time(time_t* out);

namespace {

struct FakeAdapters {
  bool fail = false;
  ifaddrs* head = nullptr;
  std::vector<ifaddrs*> freed;
};
std::optional<FakeAdapters> adapters;
std::optional<time_t> clockNow;

}  // namespace

extern "C" int __wrap_getifaddrs(ifaddrs** list) {
  if (!adapters) return __real_getifaddrs(list);
  if (adapters->fail) {
    errno = ENOMEM;
    return -1;
  }
  *list = adapters->head;
  return 0;
}

extern "C" void __wrap_freeifaddrs(ifaddrs* list) {
  if (!adapters) return __real_freeifaddrs(list);
  adapters->freed.push_back(list);
}

extern "C" time_t __wrap_time(time_t* out) {
  if (!clockNow) return __real_time(out);
  if (out) *out = *clockNow;
  return *clockNow;
}

namespace tavlin {
namespace {

// A list as the kernel gives it: each entry an interface and one of its addresses.
class AdapterList {
 public:
  AdapterList() { adapters.emplace(); }
  ~AdapterList() { adapters.reset(); }
  AdapterList(const AdapterList&) = delete;
  AdapterList& operator=(const AdapterList&) = delete;

  void Packet(const char* name, unsigned flags, std::vector<unsigned char> hardware) {
    sockaddr_ll& ll = links_.emplace_back();
    ll.sll_family = AF_PACKET;
    ll.sll_halen = static_cast<unsigned char>(hardware.size());
    for (size_t i = 0; i < hardware.size() && i < sizeof ll.sll_addr; ++i) ll.sll_addr[i] = hardware[i];
    Append(name, flags, reinterpret_cast<sockaddr*>(&ll));
  }
  void Internet(const char* name, unsigned flags) {
    sockaddr_in& in = internet_.emplace_back();
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    Append(name, flags, reinterpret_cast<sockaddr*>(&in));
  }
  void NoAddress(const char* name) { Append(name, IFF_UP, nullptr); }
  void Fail() { adapters->fail = true; }
  ifaddrs* head() const { return adapters->head; }
  const std::vector<ifaddrs*>& freed() const { return adapters->freed; }

 private:
  void Append(const char* name, unsigned flags, sockaddr* address) {
    ifaddrs& entry = entries_.emplace_back();
    entry.ifa_name = const_cast<char*>(name);
    entry.ifa_flags = flags;
    entry.ifa_addr = address;
    if (entries_.size() > 1) entries_[entries_.size() - 2].ifa_next = &entry;
    adapters->head = &entries_.front();
  }
  // Deques: entries stay where they are while more are added.
  std::deque<ifaddrs> entries_;
  std::deque<sockaddr_ll> links_;
  std::deque<sockaddr_in> internet_;
};

TEST(LinuxMachine, TheFirstAdapterWithAHardwareAddressPassingOverLoopbackAndOtherFamilies) {
  AdapterList list;
  list.Packet("lo", IFF_UP | IFF_LOOPBACK, {0, 0, 0, 0, 0, 0});
  list.Internet("lo", IFF_UP | IFF_LOOPBACK);
  list.NoAddress("tun0");
  list.Packet("wg0", IFF_UP, {});                        // a tunnel: no hardware address
  list.Packet("ib0", IFF_UP, {1, 2, 3, 4, 5, 6, 7, 8});  // not six bytes long
  list.Internet("eth0", IFF_UP);
  list.Packet("eth0", IFF_UP, {0x52, 0x54, 0x00, 0xab, 0xcd, 0xef});
  list.Packet("wlan0", IFF_UP, {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e});
  LinuxMachine machine;
  EXPECT_EQ(machine.FirstAdapterHardwareAddress(), "52:54:00:ab:cd:ef");
  EXPECT_EQ(GetAdapterAddress(machine), "52-54-00-AB-CD-EF");
  EXPECT_EQ(list.freed(), std::vector<ifaddrs*>({list.head(), list.head()})) << "each list is given back once";
}

TEST(LinuxMachine, NoAdapterOrNoListGivesNoAddress) {
  {
    AdapterList onlyLoopback;
    onlyLoopback.Packet("lo", IFF_UP | IFF_LOOPBACK, {0, 0, 0, 0, 0, 0});
    onlyLoopback.Internet("lo", IFF_UP | IFF_LOOPBACK);
    LinuxMachine machine;
    EXPECT_EQ(machine.FirstAdapterHardwareAddress(), "");
    EXPECT_EQ(GetAdapterAddress(machine), "");
    EXPECT_EQ(onlyLoopback.freed().size(), 2u);
  }
  {
    AdapterList failing;  // the system could not make the list: nothing to give back
    failing.Fail();
    LinuxMachine machine;
    EXPECT_EQ(machine.FirstAdapterHardwareAddress(), "");
    EXPECT_TRUE(failing.freed().empty());
  }
  {
    AdapterList zeros;  // an adapter whose address was never set does not identify
    zeros.Packet("veth0", IFF_UP, {0, 0, 0, 0, 0, 0});
    LinuxMachine machine;
    EXPECT_EQ(machine.FirstAdapterHardwareAddress(), "00:00:00:00:00:00");
    EXPECT_EQ(GetAdapterAddress(machine), "");
  }
}

// The clock stands at one second in one time zone for a scope.
class FixedClock {
 public:
  FixedClock(time_t now, const char* tz) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", tz, 1);
    tzset();
    clockNow = now;
  }
  ~FixedClock() {
    clockNow.reset();
    if (saved_) setenv("TZ", saved_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;

 private:
  std::optional<std::string> saved_;
};

std::vector<int> Fields(const LocalDateTime& t) { return {t.year, t.month, t.day, t.hour, t.minute, t.second}; }

TEST(LinuxMachine, NowIsTheLocalCalendarTimeOfTheClock) {
  // 1700000000 is 2023-11-14 22:13:20 UTC.
  {
    FixedClock clock(1700000000, "UTC0");
    EXPECT_EQ(Fields(LinuxMachine().Now()), (std::vector<int>{2023, 11, 14, 22, 13, 20}));
  }
  {
    FixedClock clock(1700000000, "CST-8");  // eight hours ahead: already the next day
    LinuxMachine machine;
    EXPECT_EQ(Fields(machine.Now()), (std::vector<int>{2023, 11, 15, 6, 13, 20}));
    // The id is the local date and time without padding, then three random digits.
    const std::string id = MakeRandomUserId(machine);
    EXPECT_TRUE(std::regex_match(id, std::regex("2023111561320[1-9][0-9]{2}"))) << id;
  }
  {
    // 2023-12-31 23:59:59 UTC: day, month and year turn over to the east.
    FixedClock clock(1704067199, "CST-8");
    EXPECT_EQ(Fields(LinuxMachine().Now()), (std::vector<int>{2024, 1, 1, 7, 59, 59}));
  }
}

TEST(LinuxMachine, RandomStaysInItsRangeAndVaries) {
  LinuxMachine machine;
  std::set<double> seen;
  for (int i = 0; i < 1000; ++i) {
    const double r = machine.Random();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    seen.insert(r);
  }
  EXPECT_GT(seen.size(), 990u);
  // Both halves are reached: not a constant or a stuck high bit.
  EXPECT_LT(*seen.begin(), 0.1);
  EXPECT_GT(*seen.rbegin(), 0.9);
}

// On the host, whatever adapters it has: the value is either absent or well formed.
TEST(LinuxMachine, TheHostsOwnAdaptersGiveAWellFormedValue) {
  LinuxMachine machine;
  const std::string raw = machine.FirstAdapterHardwareAddress();
  EXPECT_TRUE(raw.empty() || std::regex_match(raw, std::regex("([0-9a-f]{2}:){5}[0-9a-f]{2}"))) << raw;
  const std::string id = GetAdapterAddress(machine);
  EXPECT_TRUE(id.empty() || std::regex_match(id, std::regex("([0-9A-F]{2}-){5}[0-9A-F]{2}"))) << id;
  EXPECT_TRUE(std::regex_match(MakeRandomUserId(machine), std::regex("[0-9]{12,17}")));
}

}  // namespace
}  // namespace tavlin
