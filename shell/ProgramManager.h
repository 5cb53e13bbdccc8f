// Deleting a Program Manager group through one DDE execute command.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace shell {

// An open DDE client conversation. Destroying it disconnects at once and
// frees its string handles and its DDE instance.
class DdeConversation {
public:
    virtual ~DdeConversation() = default;
    // One asynchronous XTYP_EXECUTE of exactly these bytes, in the format the
    // server reported (CF_TEXT when none).
    virtual void Execute(const std::string& bytes) = 0;
};

// Null when no server answers for the service and topic.
using DdeConnector = std::function<std::unique_ptr<DdeConversation>(const std::string& service,
                                                                    const std::string& topic)>;
// WinExec: a command line and a show command; 32 or more on success.
using ProgramStarter = std::function<UINT(const std::string& commandLine, int showCommand)>;

// What the group deletion needs from the system.
struct ProgramManagerLink {
    DdeConnector connect;
    ProgramStarter startProgram;
};

// The DDE management library (string handles in CP_WINANSI) and WinExec.
ProgramManagerLink SystemProgramManagerLink();

// A client conversation through the DDE management library; an empty topic
// asks every server of the service.
std::unique_ptr<DdeConversation> ConnectDde(const std::string& service, const std::string& topic);

// "[DeleteGroup(" group ")]" CR LF and the terminating zero, which is sent too.
std::string DeleteGroupCommand(const std::string& group);

// Sends the command to the service "Progman". Connects with the empty topic,
// then with "Progman" (Wine's Program Manager answers only that topic); when
// neither answers, starts "Progman " minimised and tries both again. Nothing
// is sent when no server answers.
void DeleteProgramManagerGroup(const std::string& group, const ProgramManagerLink& link);

} // namespace shell
