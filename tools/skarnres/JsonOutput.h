// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Commands.h"
#include "tracks/TrackOutcome.h"

// skarnres --json: one JSON object per command on standard output (the schema is in README.md).

// True when the command was given --json.
bool WantsJson(const TArguments& args);

// A name or path as a JSON string (EscapeJsonText).
nlohmann::json JsonText(const std::string& bytes);

// Writes value to standard output as one line.
void PrintJson(const nlohmann::json& value);

// The word for a fate, in the lines and in JSON: "done", "already", "exists", "missing", "refused",
// "trashed", "deleted", "source-stayed", "cancelled".
const char* FateWord(TTrackFate fate);

// Why a track of an operation was left as it was, or what else of it is worth saying; "" when nothing.
std::string FateReason(const TOperationReport& report, const TTrackOutcome& track);
