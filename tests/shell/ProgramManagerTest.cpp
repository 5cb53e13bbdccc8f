#include "shell/ProgramManager.h"

#include "ScratchFiles.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ddeml.h>
#include <shlobj.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace shell;
using namespace shelltest;

namespace {

const std::string kCommand("[DeleteGroup(Glimmora32)]\r\n\0", 28);

// Program Manager as the group deletion sees it, with the calls in order.
class FakeProgramManager {
public:
    std::set<std::string> answering;           // topics answered before a start
    std::set<std::string> answeringAfterStart; // and after it
    UINT startResult = 42;
    std::vector<std::string> calls;
    std::vector<std::string> executed;

    ProgramManagerLink Link() {
        return {[this](const std::string& service, const std::string& topic) {
                    return Connect(service, topic);
                },
                [this](const std::string& commandLine, int show) {
                    calls.push_back("start '" + commandLine + "' " + std::to_string(show));
                    started_ = true;
                    return startResult;
                }};
    }

private:
    class Conversation : public DdeConversation {
    public:
        explicit Conversation(FakeProgramManager& owner) : owner_(owner) {}
        ~Conversation() override { owner_.calls.push_back("disconnect"); }
        void Execute(const std::string& bytes) override {
            owner_.calls.push_back("execute");
            owner_.executed.push_back(bytes);
        }

    private:
        FakeProgramManager& owner_;
    };

    std::unique_ptr<DdeConversation> Connect(const std::string& service, const std::string& topic) {
        calls.push_back("connect " + service + " '" + topic + "'");
        const std::set<std::string>& topics = started_ ? answeringAfterStart : answering;
        if (topics.count(topic) == 0)
            return nullptr;
        return std::make_unique<Conversation>(*this);
    }

    bool started_ = false;
};

const std::string kEmpty = "connect Progman ''";
const std::string kProgman = "connect Progman 'Progman'";
const std::string kStart = "start 'Progman ' 7";

} // namespace

TEST(DeleteGroupCommand, IsTheCommandWithCrLfAndItsTerminatingZero) {
    EXPECT_EQ(DeleteGroupCommand("Glimmora32"), kCommand);
    EXPECT_EQ(DeleteGroupCommand(""), std::string("[DeleteGroup()]\r\n\0", 18));
    EXPECT_EQ(DeleteGroupCommand("Bilder & Fotos"),
              std::string("[DeleteGroup(Bilder & Fotos)]\r\n\0", 32));
}

TEST(DeleteProgramManagerGroup, AServerForTheEmptyTopicGetsTheCommand) {
    FakeProgramManager progman;
    progman.answering = {"", "Progman"};
    DeleteProgramManagerGroup("Glimmora32", progman.Link());
    EXPECT_EQ(progman.calls, (std::vector<std::string>{kEmpty, "execute", "disconnect"}));
    EXPECT_EQ(progman.executed, std::vector<std::string>{kCommand});
}

TEST(DeleteProgramManagerGroup, TheProgmanTopicIsTriedWhenTheEmptyOneFails) {
    FakeProgramManager progman;
    progman.answering = {"Progman"};
    DeleteProgramManagerGroup("Glimmora32", progman.Link());
    EXPECT_EQ(progman.calls, (std::vector<std::string>{kEmpty, kProgman, "execute", "disconnect"}));
    EXPECT_EQ(progman.executed, std::vector<std::string>{kCommand});
}

TEST(DeleteProgramManagerGroup, StartsProgramManagerWhenNoServerAnswers) {
    FakeProgramManager progman;
    progman.answeringAfterStart = {"Progman"};
    DeleteProgramManagerGroup("Glimmora32", progman.Link());
    EXPECT_EQ(progman.calls, (std::vector<std::string>{kEmpty, kProgman, kStart, kEmpty, kProgman,
                                                       "execute", "disconnect"}));
    EXPECT_EQ(progman.executed, std::vector<std::string>{kCommand});

    FakeProgramManager windows;
    windows.answeringAfterStart = {"", "Progman"};
    windows.startResult = 32;
    DeleteProgramManagerGroup("Glimmora32", windows.Link());
    EXPECT_EQ(windows.calls, (std::vector<std::string>{kEmpty, kProgman, kStart, kEmpty, "execute",
                                                       "disconnect"}));
}

TEST(DeleteProgramManagerGroup, SendsNothingWhenNoServerAnswersTwice) {
    FakeProgramManager progman;
    DeleteProgramManagerGroup("Glimmora32", progman.Link());
    EXPECT_EQ(progman.calls,
              (std::vector<std::string>{kEmpty, kProgman, kStart, kEmpty, kProgman}));
    EXPECT_TRUE(progman.executed.empty());
}

TEST(DeleteProgramManagerGroup, AFailedStartEndsTheAttempt) {
    for (UINT result : {0u, 2u, 31u}) {
        SCOPED_TRACE(result);
        FakeProgramManager progman;
        progman.startResult = result;
        progman.answeringAfterStart = {"", "Progman"};
        DeleteProgramManagerGroup("Glimmora32", progman.Link());
        EXPECT_EQ(progman.calls, (std::vector<std::string>{kEmpty, kProgman, kStart}));
        EXPECT_TRUE(progman.executed.empty());
    }
}

namespace {

// A DDE server on a thread of its own, standing in for Program Manager under
// a service name of the test's. It answers the topic "Progman", and the empty
// topic too when asked to.
class TestDdeServer {
public:
    TestDdeServer(std::string service, bool answersEmptyTopic)
        : service_(std::move(service)), answersEmptyTopic_(answersEmptyTopic) {
        current_ = this;
        thread_ = std::thread([this] { Run(); });
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return ready_; });
    }
    ~TestDdeServer() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        current_ = nullptr;
    }
    TestDdeServer(const TestDdeServer&) = delete;
    TestDdeServer& operator=(const TestDdeServer&) = delete;

    bool Registered() const { return registered_; }

    // Waits up to five seconds for the client's disconnect.
    bool WaitForDisconnect() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [this] { return disconnects_ > 0; });
    }
    std::vector<std::string> Executes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return executes_;
    }
    int Connects() {
        std::lock_guard<std::mutex> lock(mutex_);
        return connects_;
    }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ service,
                                      HDDEDATA data, ULONG_PTR, ULONG_PTR) {
        TestDdeServer& self = *current_;
        switch (type) {
        case XTYP_CONNECT: {
            const bool answer = DdeCmpStringHandles(topic, self.topic_) == 0;
            self.Count(self.connects_, answer);
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(answer));
        }
        case XTYP_WILDCONNECT: {
            if (!self.answersEmptyTopic_)
                return nullptr;
            self.Count(self.connects_, true);
            HSZPAIR pairs[2] = {{self.serviceHandle_, self.topic_}, {nullptr, nullptr}};
            return DdeCreateDataHandle(self.instance_, reinterpret_cast<LPBYTE>(pairs),
                                       sizeof pairs, 0, nullptr, format, 0);
        }
        case XTYP_EXECUTE: {
            const DWORD size = DdeGetData(data, nullptr, 0, 0);
            std::string bytes(size, '\0');
            DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
            std::lock_guard<std::mutex> lock(self.mutex_);
            self.executes_.push_back(bytes);
            return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DDE_FACK));
        }
        case XTYP_DISCONNECT:
            self.Count(self.disconnects_, true);
            return nullptr;
        default:
            (void)service;
            return nullptr;
        }
    }

    void Count(int& counter, bool yes) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (yes)
            ++counter;
        changed_.notify_all();
    }

    // The server's DDE instance, its two names and its registration, undone
    // in reverse on the server thread.
    class Registration {
    public:
        explicit Registration(TestDdeServer& server) : server_(server) {
            if (DdeInitializeA(&server_.instance_, Callback,
                               APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS |
                                   CBF_SKIP_UNREGISTRATIONS,
                               0) != DMLERR_NO_ERROR) {
                server_.instance_ = 0;
                return;
            }
            server_.serviceHandle_ =
                DdeCreateStringHandleA(server_.instance_, server_.service_.c_str(), CP_WINANSI);
            server_.topic_ = DdeCreateStringHandleA(server_.instance_, "Progman", CP_WINANSI);
            server_.registered_ = DdeNameService(server_.instance_, server_.serviceHandle_, nullptr,
                                                 DNS_REGISTER) != 0;
        }
        ~Registration() {
            if (server_.instance_ == 0)
                return;
            if (server_.registered_)
                DdeNameService(server_.instance_, server_.serviceHandle_, nullptr, DNS_UNREGISTER);
            DdeFreeStringHandle(server_.instance_, server_.serviceHandle_);
            DdeFreeStringHandle(server_.instance_, server_.topic_);
            DdeUninitialize(server_.instance_);
        }
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

    private:
        TestDdeServer& server_;
    };

    void Run() {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue
        threadId_ = GetCurrentThreadId();
        Registration registration(*this);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ready_ = true;
        }
        changed_.notify_all();
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
    }

    static TestDdeServer* current_;
    std::string service_;
    bool answersEmptyTopic_;
    std::thread thread_;
    DWORD threadId_ = 0;
    DWORD instance_ = 0;
    HSZ serviceHandle_ = nullptr;
    HSZ topic_ = nullptr;
    bool registered_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ready_ = false;
    int connects_ = 0;
    int disconnects_ = 0;
    std::vector<std::string> executes_;
};

TestDdeServer* TestDdeServer::current_ = nullptr;

} // namespace

TEST(ConnectDde, NoServerNoConversation) {
    EXPECT_EQ(ConnectDde("GlimmoraNoSuchService", ""), nullptr);
    EXPECT_EQ(ConnectDde("GlimmoraNoSuchService", "Progman"), nullptr);
}

TEST(ConnectDde, SendsTheBytesAsOneExecuteAndDisconnects) {
    TestDdeServer server("GlimmoraTestProgman", false);
    ASSERT_TRUE(server.Registered());
    // Like Wine's Program Manager: the empty topic finds nobody.
    EXPECT_EQ(ConnectDde("GlimmoraTestProgman", ""), nullptr);
    std::unique_ptr<DdeConversation> conversation = ConnectDde("GlimmoraTestProgman", "Progman");
    ASSERT_NE(conversation, nullptr);
    conversation->Execute(kCommand);
    conversation.reset();

    ASSERT_TRUE(server.WaitForDisconnect());
    EXPECT_EQ(server.Executes(), std::vector<std::string>{kCommand});
}

TEST(ConnectDde, TheEmptyTopicReachesAServerThatTakesAnyTopic) {
    TestDdeServer server("GlimmoraTestProgman", true);
    ASSERT_TRUE(server.Registered());
    std::unique_ptr<DdeConversation> conversation = ConnectDde("GlimmoraTestProgman", "");
    ASSERT_NE(conversation, nullptr);
    conversation.reset();
    EXPECT_TRUE(server.WaitForDisconnect());
    EXPECT_EQ(server.Connects(), 1);
    EXPECT_TRUE(server.Executes().empty());
}

// The system's own Program Manager service (under Wine, the desktop's): the
// group, a folder of the start menu, goes without starting anything.
TEST(DeleteProgramManagerGroup, DeletesAGroupOfTheSystemsProgramManager) {
    char programs[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs), S_OK);
    const std::string group = "Glimmora Test Group " + std::to_string(GetCurrentProcessId());
    const std::string folder = std::string(programs) + "\\" + group;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));

    ProgramManagerLink link = SystemProgramManagerLink();
    std::vector<std::string> started;
    link.startProgram = [&started](const std::string& commandLine, int) {
        started.push_back(commandLine);
        return 0u;
    };
    DeleteProgramManagerGroup(group, link);

    // The command is carried out after the conversation has ended.
    for (int i = 0; i < 100 && FolderExists(folder); ++i)
        Sleep(50);
    EXPECT_FALSE(FolderExists(folder));
    EXPECT_TRUE(started.empty());
    RemoveDirectoryA(folder.c_str());
}
