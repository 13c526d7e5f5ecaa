// The power actions and the idle lock against a fake login manager on a private bus: which
// methods are called, with which arguments, in which order, and what a refusal does.
#include <gmock/gmock.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/dbus/logind_power.h"
#include "platform/posix/posix_fd.h"
#include "tests/dbus/fake_logind.h"

namespace solka {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::string kInhibit = R"(Inhibit "idle" "SOLKA" "Playing music" "block")";
const QString kMusicLock = QStringLiteral("idle|SOLKA|Playing music|block");

class LogindPowerTest : public ::testing::Test {
 protected:
  explicit LogindPowerTest(const QString& parameters = QStringLiteral("{}")) : fake(parameters) {}
  void SetUp() override {
    ASSERT_TRUE(fake.Ready());
    // Whatever the code under test calls goes to the fake and nowhere else.
    ASSERT_EQ(qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), fake.Address());
  }

  FakeLogind fake;
  int monitorOffs = 0;
  LogindPower power{[this] { ++monitorOffs; }};
};

TEST_F(LogindPowerTest, PowerOffAsksFirstThenCallsWithoutInteraction) {
  ::testing::internal::CaptureStderr();
  power.PowerOff();
  power.MonitorOff();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_THAT(fake.Calls(), ElementsAre("CanPowerOff", "PowerOff False"));
  EXPECT_EQ(monitorOffs, 1);
}

TEST_F(LogindPowerTest, RefusedPowerOffIsForcedAndATotalRefusalIsOneLine) {
  fake.Refuse(QStringLiteral("PowerOff"), QStringLiteral("b"));
  fake.SetMethod(QStringLiteral("PowerOffWithFlags"), QStringLiteral("t"), QString(), QString());
  ::testing::internal::CaptureStderr();
  power.PowerOff();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_THAT(fake.Calls(), ElementsAre("CanPowerOff", "PowerOff False",
                                        HasSubstr("PowerOff raised"), "PowerOffWithFlags 16"));

  // A manager that knows no forced variant refuses it too: one line says so.
  fake.Refuse(QStringLiteral("PowerOffWithFlags"), QStringLiteral("t"));
  ::testing::internal::CaptureStderr();
  power.PowerOff();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, HasSubstr("solka: power: power-off refused: PowerOff: "
                             "org.freedesktop.DBus.Error.AccessDenied"));
  EXPECT_THAT(err, HasSubstr("forced: PowerOffWithFlags"));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

// Debian 12's manager: the forced variant's flag is invalid there. Said once, then not tried.
TEST_F(LogindPowerTest, AManagerWithoutTheForcingFlagIsToldOnceAndNotAskedAgain) {
  fake.Refuse(QStringLiteral("PowerOff"), QStringLiteral("b"));
  ::testing::internal::CaptureStderr();
  power.PowerOff();
  power.PowerOff();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, HasSubstr("this login manager cannot force a power-off (PowerOffWithFlags: "
                             "org.freedesktop.DBus.Error.InvalidArgs: Invalid flags parameter)"));
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2);
  EXPECT_EQ(err.find("cannot force"), err.rfind("cannot force"));
  EXPECT_EQ(fake.Count("PowerOffWithFlags 16"), 1);
}

class RefusingLogindTest : public LogindPowerTest {
 protected:
  RefusingLogindTest()
      : LogindPowerTest(QStringLiteral(
            R"({"CanSuspend": "no", "CanHibernate": "challenge", "CanPowerOff": "na"})")) {}
};

TEST_F(RefusingLogindTest, EachActionFollowsTheAnswerOfItsQuestion) {
  ::testing::internal::CaptureStderr();
  power.Suspend();
  power.Hibernate();
  power.PowerOff();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "solka: power: suspend refused: CanSuspend answered \"no\"\n"
            "solka: power: power-off refused: CanPowerOff answered \"na\"\n");
  // "challenge" lets the call itself find out.
  EXPECT_THAT(fake.Calls(),
              ElementsAre("CanSuspend", "CanHibernate", "Hibernate False", "CanPowerOff"));
}

TEST_F(LogindPowerTest, IdleLockIsTakenOnceWhileWantedAndLetGoBeforeAnAction) {
  power.HoldIdleLock(true);
  ASSERT_TRUE(WaitUntil([&] { return fake.Inhibitors() == QStringList{kMusicLock}; }));
  // A release and a retake in one go (a change of track) leave the lock alone.
  power.HoldIdleLock(false);
  power.HoldIdleLock(true);
  power.HoldIdleLock(false);
  EXPECT_TRUE(WaitUntil([&] { return fake.Inhibitors().isEmpty(); }));
  EXPECT_EQ(fake.Count(kInhibit), 1);

  power.HoldIdleLock(true);
  ASSERT_TRUE(WaitUntil([&] { return fake.Inhibitors() == QStringList{kMusicLock}; }));
  power.Suspend();  // nothing else lets go of it here
  EXPECT_TRUE(WaitUntil([&] { return fake.Inhibitors().isEmpty(); }));
  const std::vector<std::string> calls = fake.Calls();
  EXPECT_THAT(std::vector(calls.end() - 2, calls.end()),
              ElementsAre("CanSuspend", "Suspend False"));

  // Playback that ends before the answer comes holds nothing afterwards.
  power.HoldIdleLock(true);
  power.HoldIdleLock(false);
  EXPECT_TRUE(WaitUntil([&] { return fake.Count(kInhibit) == 3; }));
  EXPECT_TRUE(WaitUntil([&] { return fake.Inhibitors().isEmpty(); }));
}

// No bus at all, and a bus that accepts connections and never answers (a wedged bus daemon):
// the lock is asked for without waiting, and a power action gives up within its own bound.
TEST(LogindPowerWithoutBus, EachRefusalIsOneLineAndTheLockFailureIsToldOnce) {
  testing_files::TempFolder folder;
  const std::string silent = folder.File("silent");
  sockaddr_un address{AF_UNIX, {}};
  silent.copy(address.sun_path, sizeof address.sun_path - 1);
  const Fd listening(::socket(AF_UNIX, SOCK_STREAM, 0));
  ASSERT_EQ(::bind(listening.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listening.get(), 16), 0);
  for (const std::string& socket : {folder.File("none"), silent}) {
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + QByteArray::fromStdString(socket));
    LogindPower power{[] {}};
    ::testing::internal::CaptureStderr();
    power.HoldIdleLock(true);
    power.HoldIdleLock(false);
    power.HoldIdleLock(true);
    power.Suspend();
    std::string err;
    EXPECT_TRUE(WaitUntil([&] {
      err += ::testing::internal::GetCapturedStderr();
      ::testing::internal::CaptureStderr();
      return err.find("no idle lock") != std::string::npos;
    }));
    err += ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, HasSubstr("solka: power: no idle lock: no system bus"));
    EXPECT_THAT(err, HasSubstr("solka: power: suspend refused: no system bus"));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  }
  qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
}  // namespace solka
