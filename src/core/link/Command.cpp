#include "core/link/Command.h"

ELMCommand::ELMCommand(const std::string& text)
{
    commandString = text + "\r";
}
