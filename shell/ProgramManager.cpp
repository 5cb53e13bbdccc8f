#include "shell/ProgramManager.h"

#include <windows.h>
#include <ddeml.h>

namespace shell {

namespace {

constexpr char kService[] = "Progman";
const char* const kTopics[] = {"", "Progman"};

HDDEDATA CALLBACK IgnoreTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// A client-only instance of the DDE management library.
class DdeInstance {
public:
    DdeInstance() {
        if (DdeInitializeA(&id_, IgnoreTransactions, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
            id_ = 0;
    }
    ~DdeInstance() {
        if (id_ != 0)
            DdeUninitialize(id_);
    }
    DdeInstance(const DdeInstance&) = delete;
    DdeInstance& operator=(const DdeInstance&) = delete;

    DWORD Id() const { return id_; }

private:
    DWORD id_ = 0;
};

// A string handle of an instance. The empty text gives no handle, which
// DdeConnect takes for "any topic".
class DdeString {
public:
    DdeString(DWORD instance, const std::string& text)
        : instance_(instance),
          handle_(instance == 0 ? nullptr
                                : DdeCreateStringHandleA(instance, text.c_str(), CP_WINANSI)) {}
    ~DdeString() {
        if (handle_ != nullptr)
            DdeFreeStringHandle(instance_, handle_);
    }
    DdeString(const DdeString&) = delete;
    DdeString& operator=(const DdeString&) = delete;

    HSZ Get() const { return handle_; }

private:
    DWORD instance_;
    HSZ handle_;
};

class DdemlConversation : public DdeConversation {
public:
    DdemlConversation(const std::string& service, const std::string& topic)
        : service_(instance_.Id(), service), topic_(instance_.Id(), topic) {
        if (instance_.Id() != 0 && service_.Get() != nullptr)
            conversation_ = DdeConnect(instance_.Id(), service_.Get(), topic_.Get(), nullptr);
    }
    // Disconnects before the members free the strings and the instance.
    ~DdemlConversation() override {
        if (conversation_ != nullptr)
            DdeDisconnect(conversation_);
    }
    DdemlConversation(const DdemlConversation&) = delete;
    DdemlConversation& operator=(const DdemlConversation&) = delete;

    bool Connected() const { return conversation_ != nullptr; }

    void Execute(const std::string& bytes) override {
        CONVINFO info{};
        info.cb = sizeof info;
        UINT format = CF_TEXT;
        if (DdeQueryConvInfo(conversation_, QID_SYNC, &info) != 0 && info.wFmt != 0)
            format = info.wFmt;
        std::string data = bytes;
        DWORD result = 0;
        // Asynchronous: the answer is not awaited.
        DdeClientTransaction(reinterpret_cast<LPBYTE>(data.data()), static_cast<DWORD>(data.size()),
                             conversation_, nullptr, format, XTYP_EXECUTE, TIMEOUT_ASYNC, &result);
    }

private:
    DdeInstance instance_;
    DdeString service_;
    DdeString topic_;
    HCONV conversation_ = nullptr;
};

std::unique_ptr<DdeConversation> ConnectAnyTopic(const ProgramManagerLink& link) {
    for (const char* topic : kTopics) {
        if (std::unique_ptr<DdeConversation> conversation = link.connect(kService, topic))
            return conversation;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<DdeConversation> ConnectDde(const std::string& service, const std::string& topic) {
    auto conversation = std::make_unique<DdemlConversation>(service, topic);
    if (!conversation->Connected())
        return nullptr;
    return conversation;
}

ProgramManagerLink SystemProgramManagerLink() {
    return {ConnectDde, [](const std::string& commandLine, int showCommand) {
                return WinExec(commandLine.c_str(), static_cast<UINT>(showCommand));
            }};
}

std::string DeleteGroupCommand(const std::string& group) {
    std::string command = "[DeleteGroup(" + group + ")]\r\n";
    command += '\0';
    return command;
}

void DeleteProgramManagerGroup(const std::string& group, const ProgramManagerLink& link) {
    std::unique_ptr<DdeConversation> conversation = ConnectAnyTopic(link);
    if (!conversation) {
        if (link.startProgram(std::string(kService) + ' ', SW_SHOWMINNOACTIVE) < 32)
            return;
        conversation = ConnectAnyTopic(link);
    }
    if (conversation)
        conversation->Execute(DeleteGroupCommand(group));
}

} // namespace shell
