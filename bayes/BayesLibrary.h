#pragma once
// The Bayes training data behind plain functions with unmangled names, so that a caller
// deals only in an opaque pointer, NUL-terminated strings and numbers. No exception leaves
// these functions: loading and saving return an error text (null on success), the others
// trace what went wrong to standard error.
//
// A returned error text belongs to the training data: it stays valid until the next
// loadTrainedData or saveTrainedData on the same object, or until destroyTrainingData.
// Texts returned for a null object are static.

struct ExportedData;

extern "C" {

// New training data: an empty legitimate side and a junk side seeded with every safe
// trait (count 1, one junk message). *out is null when nothing could be allocated.
void createTrainingData(ExportedData **out);
// Frees the object and its texts; null does nothing.
void destroyTrainingData(ExportedData *data);

// Reads the file at path. aux receives the stored auxiliary data; *auxLen is its size on
// entry and the stored length on return (once the file was read that far). The training
// data is replaced only when the whole file could be read; on any error it stays as it was.
const char *loadTrainedData(const char *path, ExportedData *data, void *aux, unsigned int *auxLen);
// Writes the training data and auxLen bytes of aux (none when aux is null) to path + ".new"
// and renames that over path only once it is completely written and synced, so the
// previous file stays whole whatever fails.
const char *saveTrainedData(const char *path, ExportedData *data, const void *aux, unsigned int auxLen);

// Tokenizes the message text and adds it to (untrain false) or removes it from (untrain
// true) the junk side (isJunk) or the legitimate side. A message that fails to tokenize
// changes nothing.
void train(ExportedData *data, bool isJunk, bool untrain, const char *text);
// The message's spam probability shifted so that the junk threshold of sensitivity 1 (0.58)
// lies at 0.5, clamped to 0..1. A message without any telling token scores 0.
float evaluate(ExportedData *data, const char *text);
// As evaluate, and stores in *counted (when not null) how many of the message's tokens
// carried evidence: 0 means the score says nothing about the message.
float evaluateWithEvidence(ExportedData *data, const char *text, unsigned int *counted);
}
