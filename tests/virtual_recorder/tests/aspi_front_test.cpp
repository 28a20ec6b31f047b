// The recorder behind the ASPI entry points: adapters, device types, drive letters, requests
// completed at once or from the recorder's own thread, and aborts.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "tests/virtual_recorder/portable/aspi_front.h"
#include "tests/virtual_recorder/portable/config_file.h"

namespace vcdr {
namespace {

using namespace burn;

// A manual-reset event as the engine's layer would hand one over.
struct Event {
    std::mutex m;
    std::condition_variable cv;
    bool set = false;
    std::thread::id setter;
    bool Wait(std::chrono::milliseconds timeout) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, timeout, [&] { return set; });
    }
};

FrontEndOptions Options(bool async) {
    FrontEndOptions o;
    o.Asynchronous = async;
    o.Signal = [](void* e) {
        auto* ev = static_cast<Event*>(e);
        std::lock_guard lock(ev->m);
        ev->set = true;
        ev->setter = std::this_thread::get_id();
        ev->cv.notify_all();
    };
    return o;
}

std::vector<DeviceConfig> TwoDevices(const char* fault = nullptr) {
    DeviceConfig disk;
    disk.HaId = 0;
    disk.Target = 0;
    disk.PeripheralType = 0;
    disk.DriveLetter = 'C';
    DeviceConfig recorder;
    recorder.HaId = 1;
    recorder.Target = 2;
    recorder.DriveLetter = 'F';
    if (fault) recorder.Faults.push_back(ParseFault(fault));
    return {disk, recorder};
}

SrbExecute Inquiry(std::uint8_t ha, std::uint8_t target, std::uint8_t* buffer, Event* event) {
    SrbExecute s{};
    s.Header = {kSrbExecute, 0, ha, static_cast<std::uint8_t>(kSrbDirIn | kSrbEventNotify), 0};
    s.Target = target;
    s.BufLen = 36;
    s.BufPointer = buffer;
    s.SenseLen = 14;
    s.CdbLen = 6;
    s.PostProc = event;
    const std::uint8_t cdb[] = {0x12, 0, 0, 0, 36, 0};
    std::memcpy(s.Cdb, cdb, sizeof cdb);
    return s;
}

TEST(AspiFrontEnd, AdaptersDeviceTypesAndDriveLetters) {
    AspiFrontEnd front(TwoDevices(), Options(false));
    EXPECT_EQ(front.SupportInfo(), 0x0102u);
    SrbHaInquiry ha{};
    ha.Header.HaId = 1;
    EXPECT_EQ(front.Send(&ha), kSsComp);
    EXPECT_EQ(ha.HaCount, 2);
    EXPECT_EQ(std::string(ha.AdapterText, 6), "VCDR 1");
    ha.Header.HaId = 2;
    EXPECT_EQ(front.Send(&ha), kSsInvalidHa);

    SrbGetDeviceType type{};
    type.Header = {kSrbGetDeviceType, 0, 1, 0, 0};
    type.Target = 2;
    EXPECT_EQ(front.Send(&type), kSsComp);
    EXPECT_EQ(type.PeripheralType, 5);
    type.Target = 3;
    EXPECT_EQ(front.Send(&type), kSsNoDevice);
    EXPECT_EQ(type.PeripheralType, 0x1F);

    SrbGetDiskInfo disk{};
    disk.Header = {kSrbGetDiskInfo, 0, 1, 0, 0};
    disk.Target = 2;
    EXPECT_EQ(front.Send(&disk), kSsComp);
    EXPECT_EQ(disk.DriveNumber, 'F' - 'A');
    EXPECT_EQ(AspiFrontEnd({}, Options(false)).SupportInfo(), 0xE800u);
}

TEST(AspiFrontEnd, ExecuteAtOnceOrFromItsOwnThread) {
    for (bool async : {false, true}) {
        SCOPED_TRACE(async);
        AspiFrontEnd front(TwoDevices(), Options(async));
        std::uint8_t buffer[36] = {};
        Event event;
        SrbExecute s = Inquiry(1, 2, buffer, &event);
        const std::uint32_t status = front.Send(&s);
        EXPECT_EQ(status, async ? kSsPending : kSsComp);
        ASSERT_TRUE(event.Wait(std::chrono::seconds(10)));
        EXPECT_EQ(s.Header.Status, kSsComp);
        EXPECT_EQ(buffer[0], 5);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer) + 8, 8), "VANTRELL");
        EXPECT_EQ(event.setter != std::this_thread::get_id(), async);
    }
}

TEST(AspiFrontEnd, SenseIsCutToTheRequestsSenseLength) {
    AspiFrontEnd front(TwoDevices("op=12 sense=05/24/00"), Options(false));
    std::uint8_t buffer[36] = {};
    Event event;
    SrbExecute s = Inquiry(1, 2, buffer, &event);
    s.SenseLen = 13;
    std::memset(s.SenseArea, 0xEE, sizeof s.SenseArea);
    EXPECT_EQ(front.Send(&s), kSsErr);
    EXPECT_EQ(s.TargStat, 2);
    EXPECT_EQ(s.SenseArea[12], 0x24);
    EXPECT_EQ(s.SenseArea[13], 0);  // past the 13 bytes asked for: cleared, not copied
}

TEST(AspiFrontEnd, NoDeviceAtTheAddress) {
    AspiFrontEnd front(TwoDevices(), Options(false));
    std::uint8_t buffer[36] = {};
    SrbExecute s = Inquiry(1, 5, buffer, nullptr);
    EXPECT_EQ(front.Send(&s), kSsNoDevice);
}

TEST(AspiFrontEnd, AbortCompletesTheRequestThatNeverWould) {
    for (bool async : {false, true}) {
        SCOPED_TRACE(async);
        AspiFrontEnd front(TwoDevices("op=12 never"), Options(async));
        std::uint8_t buffer[36] = {};
        Event event;
        SrbExecute s = Inquiry(1, 2, buffer, &event);
        EXPECT_EQ(front.Send(&s), kSsPending);
        EXPECT_FALSE(event.Wait(std::chrono::milliseconds(50)));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (front.PendingCount() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        SrbAbort abort{};
        abort.Header = {kSrbAbort, 0, 1, 0, 0};
        abort.ToAbort = &s;
        EXPECT_EQ(front.Send(&abort), kSsComp);
        ASSERT_TRUE(event.Wait(std::chrono::seconds(1)));
        EXPECT_EQ(s.Header.Status, kSsAborted);
        EXPECT_EQ(front.PendingCount(), 0u);
    }
}

// As real layers complete a request: its status first, its event a gap later. Until the event
// the layer still holds the request.
TEST(AspiFrontEnd, TheEventComesAGapAfterTheStatus) {
    FrontEndOptions options = Options(true);
    options.EventGapUs = 200000;
    AspiFrontEnd front(TwoDevices(), options);
    std::uint8_t buffer[36] = {};
    Event event;
    SrbExecute s = Inquiry(1, 2, buffer, &event);
    EXPECT_EQ(front.Send(&s), kSsPending);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::atomic_ref<std::uint8_t>(s.Header.Status).load() == kSsPending &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(std::atomic_ref<std::uint8_t>(s.Header.Status).load(), kSsComp);
    EXPECT_FALSE(event.Wait(std::chrono::milliseconds(0))) << "the event only after the gap";
    EXPECT_TRUE(event.Wait(std::chrono::seconds(10)));
}

// Requests from several threads at once, as the user-interface and write threads send them.
TEST(AspiFrontEnd, ConcurrentRequestsAllComplete) {
    for (bool async : {false, true}) {
        SCOPED_TRACE(async);
        AspiFrontEnd front(TwoDevices(), Options(async));
        std::vector<std::thread> threads;
        std::atomic<int> good{0};
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 100; ++i) {
                    std::uint8_t buffer[36] = {};
                    Event event;
                    SrbExecute s = Inquiry(1, 2, buffer, &event);
                    front.Send(&s);
                    if (event.Wait(std::chrono::seconds(10)) && s.Header.Status == kSsComp && buffer[0] == 5) ++good;
                }
            });
        }
        for (auto& t : threads) t.join();
        EXPECT_EQ(good, 400);
    }
}

TEST(ConfigFile, DevicesDiscsFaultsAndFiles) {
    const auto config = ParseConfig(
        "; two drives\n[recorder]\nasynchronous=1\nevent_gap_us=50\n"
        "[device0]\naddress=0:1:0\nletter=E\nmedium=appendable\ncapacity=1000\nspeeds=4, 8\n"
        "image=disc.img\nstate=C:\\state.txt\nfault1=op=2A nth=2 sense=03/0C/00\nfault2=op=5B never\n"
        "write_types=tao, sao\nfixation_requests=5\nfault3=op=5B fixation-fails\n"
        "[device1]\naddress=1:0:0\ntype=0\nmedium=none   ; no disc\nspeeds=4,8   ; two\nwriter=0\n"
        "trace=trace;1.txt\n",
        "/tmp/x/");
    EXPECT_TRUE(config.Asynchronous);
    EXPECT_EQ(config.EventGapUs, 50u);
    ASSERT_EQ(config.Devices.size(), 2u);
    const DeviceConfig& d = config.Devices[0];
    EXPECT_EQ(d.Target, 1);
    EXPECT_EQ(d.Status, DiscStatus::Appendable);
    EXPECT_EQ(d.CapacityBlocks, 1000u);
    EXPECT_EQ(d.WriteSpeedsX, (std::vector<std::uint16_t>{4, 8}));
    EXPECT_EQ(d.ImagePath, "/tmp/x/disc.img");
    EXPECT_EQ(d.StatePath, "C:\\state.txt");
    ASSERT_EQ(d.Faults.size(), 3u);
    EXPECT_EQ(d.Faults[1].Answer, FaultAnswer::Never);
    EXPECT_EQ(d.Faults[2].Answer, FaultAnswer::FixationFails);
    EXPECT_EQ(d.WriteTypes, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(d.FixationRequests, 5u);
    EXPECT_EQ(config.Devices[1].WriteTypes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(config.Devices[1].Medium, MediumKind::None);
    EXPECT_EQ(config.Devices[1].HaId, 1);
    // Comments after a value, as the README writes them; a ";" inside a value stays.
    EXPECT_EQ(config.Devices[1].WriteSpeedsX, (std::vector<std::uint16_t>{4, 8}));
    EXPECT_FALSE(config.Devices[1].Writer);
    EXPECT_TRUE(d.Writer);
    EXPECT_EQ(config.Devices[1].TracePath, "/tmp/x/trace;1.txt");
    for (const char* bad : {"[device0]\nmedium=floppy\n", "[device0]\nspeed=4\n", "[elsewhere]\n", "asynchronous=1\n",
                            "[device0]\naddress=1-2-3\n", "[device0]\ncapacity=lots\n",
                            "[device0]\nwrite_types=tao,packet\n", "[recorder]\nevent_gap_us=soon\n"}) {
        EXPECT_THROW(ParseConfig(bad, ""), std::invalid_argument) << bad;
    }
    // A device's key under [recorder] says where it belongs.
    try {
        ParseConfig("[recorder]\ntrace=trace.txt\n[device0]\n", "");
        ADD_FAILURE() << "trace under [recorder] accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("belongs to a [deviceN] section"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vcdr
