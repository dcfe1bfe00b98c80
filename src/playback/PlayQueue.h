#pragma once

// What the transport asks of the play queue at the end of a file.
class PlayQueue
{
public:
    virtual ~PlayQueue() = default;
    // Entries in the list at the last start or drop.
    virtual int entryCount() const = 0;
    // A playlist is being played; while not, end of play does not involve the queue.
    virtual bool isActive() const = 0;
    // Moves to the next entry and puts its path in the current-file path.
    // False: the list has ended (the first entry of the next pass is in place).
    virtual bool advance() = 0;
};
