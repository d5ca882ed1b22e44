// parlan-studio: the workbench for language developers.
//   parlan-studio [--root DIR] [--mode MODE] [--quiet] [--speak TEXT] [--screenshot DIR]
// With --screenshot the studio speaks the --speak text (if any) without sound, writes PNGs of
// its windows into DIR and ends.
#include <QApplication>
#include <QCommandLineParser>
#include <QPlainTextEdit>
#include <cstdio>

#include "StudioWindow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parlan-studio"));
  QApplication::setApplicationVersion(QStringLiteral("1.01"));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Workbench for Parlan language developers"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption root(QStringLiteral("root"), QStringLiteral("Install root."),
                                QStringLiteral("DIR"));
  const QCommandLineOption mode(QStringLiteral("mode"),
                                QStringLiteral("Mode number or display name."),
                                QStringLiteral("MODE"));
  const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Speak without sound."));
  const QCommandLineOption speak(QStringLiteral("speak"), QStringLiteral("Text to speak at start."),
                                 QStringLiteral("TEXT"));
  const QCommandLineOption shots(QStringLiteral("screenshot"),
                                 QStringLiteral("Write PNGs of the windows into DIR and end."),
                                 QStringLiteral("DIR"));
  parser.addOptions({root, mode, quiet, speak, shots});
  parser.process(app);

  parlan::studio::StudioOptions options;
  options.Root = parser.value(root).toStdString();
  options.Mode = parser.value(mode);
  options.Quiet = parser.isSet(quiet) || parser.isSet(shots);
  if (!options.Root.empty() && !std::filesystem::is_directory(options.Root)) {
    std::fprintf(stderr, "parlan-studio: cannot read install root %s\n", options.Root.c_str());
    return 2;
  }
  parlan::studio::StudioWindow window(options);
  window.show();
  if (parser.isSet(speak)) {
    window.TextEditor()->setPlainText(parser.value(speak));
    window.SpeakText(parser.value(speak));
  }
  if (!parser.isSet(shots)) return app.exec();

  QStringList written;
  const bool ok = window.SaveScreenshots(parser.value(shots), &written);
  for (const QString& file : written) std::printf("%s\n", qPrintable(file));
  if (!ok) std::fprintf(stderr, "parlan-studio: cannot write the screenshots\n");
  return ok ? 0 : 1;
}
