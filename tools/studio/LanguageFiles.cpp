#include "LanguageFiles.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace parlan::studio {

std::vector<LanguageFile> LanguageFilesOf(const std::filesystem::path& folder) {
  std::filesystem::path dir = folder;
  if (dir.filename().empty()) dir = dir.parent_path();
  std::u16string language = dir.filename().u16string();
  if (language.starts_with(u"Parlan ")) language = language.substr(7);
  std::vector<LanguageFile> files;
  const struct {
    const char* role;
    const char16_t* suffix;
    FileEncoding encoding;
  } kinds[] = {{"Configuration", u"c.ttg", FileEncoding::Utf8},
               {"Normalisation", u"n.ttg", FileEncoding::Utf16Le},
               {"Exceptions", u"e.ttg", FileEncoding::Utf16Le},
               {"Letter rules", u"r.ttg", FileEncoding::Utf16Le}};
  for (const auto& kind : kinds) {
    LanguageFile file;
    file.Role = QString::fromLatin1(kind.role);
    file.Path = dir / (language + kind.suffix);
    file.Encoding = kind.encoding;
    std::error_code ec;
    file.Exists = std::filesystem::exists(file.Path, ec);
    files.push_back(std::move(file));
  }
  return files;
}

QString DecodeLanguageFile(const QByteArray& bytes, LanguageFile& file) {
  QByteArray body = bytes;
  QString text;
  // A rule file that begins with the UTF-8 byte-order mark is UTF-8, as the loaders read it.
  if (file.Encoding == FileEncoding::Utf16Le && body.startsWith("\xEF\xBB\xBF"))
    file.Encoding = FileEncoding::Utf8;
  if (file.Encoding == FileEncoding::Utf16Le) {
    file.Bom = body.startsWith("\xFF\xFE");
    if (file.Bom) body.remove(0, 2);
    QStringDecoder decode(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
    text = decode(body);
  } else {
    file.Bom = body.startsWith("\xEF\xBB\xBF");
    if (file.Bom) body.remove(0, 3);
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    text = decode(body);
    // Bytes that are not UTF-8 are Latin-1, as the configuration reader takes them.
    file.Encoding = decode.hasError() ? FileEncoding::Latin1 : FileEncoding::Utf8;
    if (decode.hasError()) text = QString::fromLatin1(body);
  }
  file.CrLf = text.contains(QStringLiteral("\r\n")) || !text.contains(u'\n');
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

QByteArray EncodeLanguageFile(const QString& text, const LanguageFile& file) {
  QString body = text;
  if (file.CrLf) body.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  QByteArray bytes;
  switch (file.Encoding) {
    case FileEncoding::Utf16Le: {
      if (file.Bom) bytes = "\xFF\xFE";
      QStringEncoder encode(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
      bytes += encode(body);
      break;
    }
    case FileEncoding::Latin1:
      bytes = body.toLatin1();
      break;
    case FileEncoding::Utf8:
      if (file.Bom) bytes = "\xEF\xBB\xBF";
      bytes += body.toUtf8();
      break;
  }
  return bytes;
}

bool ReadLanguageFile(LanguageFile& file, QString& text, QString& error) {
  QFile in(QString::fromStdString(file.Path.string()));
  if (!in.exists()) {
    file.Exists = false;
    text.clear();
    return true;
  }
  if (!in.open(QIODevice::ReadOnly)) {
    error = in.errorString();
    return false;
  }
  file.Exists = true;
  text = DecodeLanguageFile(in.readAll(), file);
  return true;
}

bool WriteLanguageFile(const LanguageFile& file, const QString& text, QString& error) {
  // Written to a new file that replaces the old one only when complete: a full disk never
  // leaves half a rule file behind.
  QSaveFile out(QString::fromStdString(file.Path.string()));
  if (!out.open(QIODevice::WriteOnly) || out.write(EncodeLanguageFile(text, file)) < 0 ||
      !out.commit()) {
    error = out.errorString();
    return false;
  }
  return true;
}

QString EncodingName(const LanguageFile& file) {
  QString name;
  switch (file.Encoding) {
    case FileEncoding::Utf8:
      name = QStringLiteral("UTF-8");
      break;
    case FileEncoding::Latin1:
      name = QStringLiteral("Latin-1");
      break;
    case FileEncoding::Utf16Le:
      name = QStringLiteral("UTF-16 LE");
      break;
  }
  if (file.Bom) name += QStringLiteral(" with BOM");
  return name + (file.CrLf ? QStringLiteral(", CR LF") : QStringLiteral(", LF"));
}

}  // namespace parlan::studio
