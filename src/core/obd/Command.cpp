#include "core/obd/Command.h"

ELMCommand::ELMCommand(const std::string& text)
{
    commandString = text + "\r";
}
