// Snapshot files of the current screen: the visible page as a PNG and the cell grid as
// text, for the snapshot driver and the tests.
#pragma once
#include <string>

// Writes the visible page of the current screen as an 8-bit RGB PNG (5:6:5 expanded by
// bit replication). Returns false when there is no screen or the file cannot be written.
bool writeScreenPng(const std::string& path);
// Writes the cell grid as textRows lines of textColumns characters.
bool writeCellText(const std::string& path);
