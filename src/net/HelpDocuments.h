#pragma once

#include <QString>

#include <span>

class Prompt;

// The help pages installed with the player, the mail and mailing-list links. Everything is
// opened by the desktop's own handlers (xdg-open), unchecked.
namespace HelpDocuments {

struct Document {
    int command;
    const char *path; // under the documents folder
};
std::span<const Document> documents();

// share/doc/kinetrope beside the program's bin folder (installed, and in the build tree).
QString folder();
QString pathOf(int command);

void open(int command);
// Asks first; then the mail program on a message to the maker.
void emailMaker(Prompt &prompt);
void openMailingList();

} // namespace HelpDocuments
