#pragma once

// What the user chose for one listed file alone, over the batch's settings.
// Nothing can be chosen per file yet; the argument builder reads it.
struct FileOrder {};
