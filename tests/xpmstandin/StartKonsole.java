// Stand-in for the KBV test module in tests: accepts the module's command line
// and writes the files it names. Driven by environment variables:
//   XPMSTANDIN_RESULT    file copied as the XML error list
//   XPMSTANDIN_MESSAGES  or messages to write: "line|type|name|group|text;..." (line 0 = none)
//   XPMSTANDIN_EXIT      exit code (default 0)
//   XPMSTANDIN_STDOUT    text for standard output (default a progress line)
//   XPMSTANDIN_STDERR    text for standard error (default none)
//   XPMSTANDIN_SLEEP_MS  wait before writing anything
//   XPMSTANDIN_ARGS      file that receives the arguments, one per line, and the working directory
//   XPMSTANDIN_PIDFILE   file that receives the process id
package de.kbv.xpm.modul.ldk.start;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.HashMap;
import java.util.Map;

public class StartKonsole {
    static String env(String name, String def) {
        String v = System.getenv(name);
        return v == null ? def : v;
    }

    static String esc(String s) {
        return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
    }

    static void writeXmlList(Path target, String fileName) throws IOException {
        String prepared = System.getenv("XPMSTANDIN_RESULT");
        if (prepared != null) {
            Files.copy(Paths.get(prepared), target, java.nio.file.StandardCopyOption.REPLACE_EXISTING);
            return;
        }
        StringBuilder sb = new StringBuilder();
        int fehler = 0, warnungen = 0, infos = 0;
        StringBuilder records = new StringBuilder();
        String msgs = env("XPMSTANDIN_MESSAGES", "");
        for (String m : msgs.split(";")) {
            if (m.isEmpty())
                continue;
            String[] p = m.split("\\|", -1);
            String line = p[0], typ = p.length > 1 ? p[1] : "F", name = p.length > 2 ? p[2] : "K000";
            String gruppe = p.length > 3 ? p[3] : "Gruppe", text = p.length > 4 ? p[4] : "Meldung";
            if (typ.startsWith("W")) warnungen++; else if (typ.startsWith("I")) infos++; else fehler++;
            String nr = line.equals("0") ? name + " (" + typ + ")" : name + " (" + typ + "/" + line + ")";
            records.append("  <record>\n    <GRUPPE>").append(esc(gruppe)).append("</GRUPPE>\n    <FEHLER_NR>")
                   .append(esc(nr)).append("</FEHLER_NR>\n    <MELDUNG>").append(esc(text)).append("</MELDUNG>\n  </record>\n");
        }
        sb.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data>\n  <parameter>\n");
        Map<String, String> par = new HashMap<>();
        par.put("ABBRUCH", "0");
        par.put("ARZT_NR", "999999900");
        par.put("DATEI", fileName);
        par.put("DATEI_DATUM", "01.01.2026");
        par.put("DATUM", "09.12.2026");
        par.put("ERGEBNIS", fehler > 0 ? "2" : "0");
        par.put("ERGEBNIS_TEXT", fehler > 0 ? "Datei fehlerhaft" : "Datei fehlerfrei");
        par.put("FEHLER", Integer.toString(fehler));
        par.put("INFOS", Integer.toString(infos));
        par.put("KBV_TAB_VERSION", "1.0");
        par.put("PAKET_VERSION", "3.0");
        par.put("PRAXIS", "Testpraxis");
        par.put("WARNUNGEN", Integer.toString(warnungen));
        par.put("XPM_VERSION", "0.1");
        par.put("ZEIT", "12:00:00");
        for (String k : new String[] {"ABBRUCH", "ARZT_NR", "DATEI", "DATEI_DATUM", "DATUM", "ERGEBNIS",
                                      "ERGEBNIS_TEXT", "FEHLER", "INFOS", "KBV_TAB_VERSION", "PAKET_VERSION",
                                      "PRAXIS", "WARNUNGEN", "XPM_VERSION", "ZEIT"})
            sb.append("    <").append(k).append(">").append(esc(par.get(k))).append("</").append(k).append(">\n");
        sb.append("  </parameter>\n").append(records).append("</data>\n");
        Files.write(target, sb.toString().getBytes(StandardCharsets.UTF_8));
    }

    // A one-page PDF with a line of text, offsets computed so that readers accept it.
    static void writePdf(Path target, String text) throws IOException {
        String stream = "BT /F1 12 Tf 72 720 Td (" + text.replace("(", "").replace(")", "") + ") Tj ET";
        String[] objs = {
            "<< /Type /Catalog /Pages 2 0 R >>",
            "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
            "<< /Length " + stream.length() + " >>\nstream\n" + stream + "\nendstream",
            "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        };
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        StringBuilder sb = new StringBuilder("%PDF-1.4\n");
        int[] offs = new int[objs.length];
        for (int i = 0; i < objs.length; i++) {
            offs[i] = sb.length();
            sb.append(i + 1).append(" 0 obj\n").append(objs[i]).append("\nendobj\n");
        }
        int xref = sb.length();
        sb.append("xref\n0 ").append(objs.length + 1).append("\n0000000000 65535 f \n");
        for (int o : offs)
            sb.append(String.format("%010d 00000 n \n", o));
        sb.append("trailer\n<< /Size ").append(objs.length + 1).append(" /Root 1 0 R >>\nstartxref\n")
          .append(xref).append("\n%%EOF\n");
        out.write(sb.toString().getBytes(StandardCharsets.ISO_8859_1));
        Files.write(target, out.toByteArray());
    }

    public static void main(String[] args) throws Exception {
        String konfig = null, file = null;
        Map<String, String> p = new HashMap<>();
        for (int i = 0; i < args.length; i++) {
            if (args[i].equals("-c") && i + 1 < args.length) konfig = args[++i];
            else if (args[i].equals("-f") && i + 1 < args.length) file = args[++i];
            else if (args[i].equals("-p") && i + 1 < args.length) {
                String kv = args[++i];
                int eq = kv.indexOf('=');
                if (eq > 0) p.put(kv.substring(0, eq), kv.substring(eq + 1));
            }
        }
        String argsFile = System.getenv("XPMSTANDIN_ARGS");
        if (argsFile != null) {
            StringBuilder sb = new StringBuilder();
            for (String a : args) sb.append(a).append('\n');
            sb.append("cwd=").append(Paths.get("").toAbsolutePath()).append('\n');
            Files.write(Paths.get(argsFile), sb.toString().getBytes(StandardCharsets.UTF_8));
        }
        String pidFile = System.getenv("XPMSTANDIN_PIDFILE");
        if (pidFile != null)
            Files.write(Paths.get(pidFile), Long.toString(ProcessHandle.current().pid()).getBytes(StandardCharsets.US_ASCII));

        PrintStream out = new PrintStream(System.out, true, "ISO-8859-15");
        PrintStream err = new PrintStream(System.err, true, "ISO-8859-15");
        if (konfig == null || !Files.exists(Paths.get(konfig))) {
            err.print("Konfiguration nicht gefunden: " + konfig + "\n");
            System.exit(3);
        }
        if (file == null || !Files.exists(Paths.get(file))) {
            err.print("Datei nicht gefunden: " + file + "\n");
            System.exit(2);
        }
        out.print(env("XPMSTANDIN_STDOUT", "Prüfe " + Paths.get(file).getFileName() + "\n"));
        String errText = System.getenv("XPMSTANDIN_STDERR");
        if (errText != null) err.print(errText);
        long sleep = Long.parseLong(env("XPMSTANDIN_SLEEP_MS", "0"));
        if (sleep > 0) Thread.sleep(sleep);

        String fl = p.get("FehlerListe"), sl = p.get("StatistikListe");
        if (fl != null) {
            if ("pdf".equals(p.get("FehlerListe@Format"))) writePdf(Paths.get(fl), "Fehlerprotokoll");
            else writeXmlList(Paths.get(fl), file);
        }
        if (sl != null) {
            if ("pdf".equals(p.get("StatistikListe@Format"))) writePdf(Paths.get(sl), "Statistik");
            else Files.write(Paths.get(sl), "<?xml version=\"1.0\"?>\n<statistik/>\n".getBytes(StandardCharsets.UTF_8));
        }
        System.exit(Integer.parseInt(env("XPMSTANDIN_EXIT", "0")));
    }
}
