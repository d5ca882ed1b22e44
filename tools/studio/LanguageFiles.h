// The four files of a language as text for an editor, each read and written back in its own
// encoding: the configuration file in UTF-8 (Latin-1 where its bytes are not UTF-8), the
// normalisation, exception and rule files in UTF-16 little-endian. Byte-order marks and line
// ends are kept as found, so that saving an unchanged file gives the same bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <vector>

namespace parlan::studio {

enum class FileEncoding { Utf8, Latin1, Utf16Le };

struct LanguageFile {
  QString Role;  // "Configuration", "Normalisation", "Exceptions", "Letter rules"
  std::filesystem::path Path;
  FileEncoding Encoding = FileEncoding::Utf8;
  bool Bom = false;
  bool CrLf = true;
  bool Exists = false;
};

// The four files of the folder "Parlan <language>", in the order configuration, normalisation,
// exceptions, letter rules; the encoding each is expected in when it does not exist yet.
std::vector<LanguageFile> LanguageFilesOf(const std::filesystem::path& folder);

// Decodes bytes in the file's encoding, noting the byte-order mark and line ends found; the
// text has bare line feeds.
QString DecodeLanguageFile(const QByteArray& bytes, LanguageFile& file);
QByteArray EncodeLanguageFile(const QString& text, const LanguageFile& file);

// Reads the file (empty text when it does not exist); false with `error` set when it cannot be
// read. Writes the file; false with `error` set when it cannot be written.
bool ReadLanguageFile(LanguageFile& file, QString& text, QString& error);
bool WriteLanguageFile(const LanguageFile& file, const QString& text, QString& error);

QString EncodingName(const LanguageFile& file);

}  // namespace parlan::studio
