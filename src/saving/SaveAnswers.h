#pragma once
// The answers of the questions a saving run asks.

namespace vantrel {

// Answers of "Replace File Confirmation".
enum class ReplaceAnswer { Yes, No, YesToAll, NoToAll };
// Answers of "Error Writing Destination".
enum class WriteErrorAnswer { Abort, Skip };

}  // namespace vantrel
