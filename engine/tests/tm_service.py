#!/usr/bin/python3
"""Stand-in for the community service, run as a CGI script for the paths /Content and /Upload.

Checks the request against the service's wire format (method, path, SOAPAction, the
envelope's elements, their types and order), records every request as one JSON file in the
folder named in the file "records" beside this script, and answers a check with a SOAP
envelope whose "status" is "found" for the digests listed in the file "answers" (a line
"DIGEST MODE"; MODE found, spaced, error or page), else "notfound".
"""
import io
import json
import os
import sys
import time
import xml.etree.ElementTree as ET

ENV = "http://schemas.xmlsoap.org/soap/envelope/"
XSD = "http://www.w3.org/2001/XMLSchema"
XSI = "http://www.w3.org/2001/XMLSchema-instance"
ENC = "http://schemas.xmlsoap.org/soap/encoding/"
# The service's own gateway namespace; its encoding style is the SOAP 1.1 encoding.
GATEWAY = "urn:tallowmark:gateway"
STYLE = ENC
HERE = os.path.dirname(os.path.abspath(__file__))


class Bad(Exception):
    pass


def expect(cond, why):
    if not cond:
        raise Bad(why)


def xsi_type(el):
    return el.get("{%s}type" % XSI)


def value(el, name, typ):
    expect(el.tag == name, "expected <%s>, got <%s>" % (name, el.tag))
    expect(xsi_type(el) == "xsd:" + typ, "%s: type %r" % (name, xsi_type(el)))
    expect(len(el) == 0, "%s: has children" % name)
    return el.text or ""


def declared(body_xml):
    """The namespace prefixes the envelope's start tag declares, each with its URI."""
    prefixes = {}
    for event, item in ET.iterparse(io.BytesIO(body_xml), events=("start-ns", "start")):
        if event == "start":
            break
        prefixes[item[0]] = item[1]
    return prefixes


def envelope(body_xml, operation, ns1):
    root = ET.fromstring(body_xml)
    expect(root.tag == "{%s}Envelope" % ENV, "root is %s" % root.tag)
    expect(root.get("{%s}encodingStyle" % ENV) == STYLE, "encodingStyle")
    prefixes = declared(body_xml)
    for prefix, uri in (("SOAP-ENV", ENV), ("xsd", XSD), ("xsi", XSI), ("cfs", GATEWAY), ("SOAP-ENC", ENC)):
        expect(prefixes.get(prefix) == uri, "xmlns:%s is %r" % (prefix, prefixes.get(prefix)))
    expect(len(root) == 1 and root[0].tag == "{%s}Body" % ENV, "no single Body")
    body = root[0]
    expect(len(body) == 1 and body[0].tag == "{%s}%s" % (ns1, operation), "no %s" % operation)
    return body[0]


def check_content(text, raw):
    expect(raw.startswith(b'<?xml version="1.0" encoding="ISO-8859-1"?>\n'), "XML declaration")
    op = envelope(raw, "contentCheck", "Content")
    expect([c.tag for c in op] == ["anonymizerVersion", "categoriesVersion", "signatureVersion",
                                   "contentChecks"], "operation children %r" % [c.tag for c in op])
    expect(value(op[0], "anonymizerVersion", "int") == "101", "anonymizerVersion")
    expect(value(op[1], "categoriesVersion", "int") == "0", "categoriesVersion")
    expect(value(op[2], "signatureVersion", "int") == "1027", "signatureVersion")
    checks = op[3]
    expect(xsi_type(checks) == "SOAP-ENC:Array", "array type")
    expect(checks.get("{%s}arrayType" % ENC) == "cfs:ContentCheckRequestEntry[1]", "arrayType")
    expect(len(checks) == 1 and checks[0].tag == "i", "one <i>")
    item = checks[0]
    expect([c.tag for c in item] == ["requestEntryID", "checksum", "digest", "signature"], "item children")
    expect(value(item[0], "requestEntryID", "int") == "0", "requestEntryID")
    checksum = value(item[1], "checksum", "int")
    expect(checksum == "" or checksum.isdigit(), "checksum %r" % checksum)
    digest = value(item[2], "digest", "string")
    expect(len(digest) == 32 and all(c in "0123456789abcdef" for c in digest), "digest")
    signature = value(item[3], "signature", "string")
    expect(len(signature) == 128 and all(c in "0123456789abcdef" for c in signature), "signature")
    return {"checksum": checksum, "digest": digest, "signature": signature}


def check_upload(raw):
    expect(raw.startswith(b"<SOAP-ENV:Envelope "), "upload starts with the envelope")
    op = envelope(raw, "uploadContent", "Upload")
    expect([c.tag for c in op] == ["anonymizerVersion", "contentBody"], "operation children")
    expect(value(op[0], "anonymizerVersion", "int") == "101", "anonymizerVersion")
    return {"content": value(op[1], "contentBody", "string")}


def answers():
    table = {}
    try:
        with open(os.path.join(HERE, "answers")) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 2:
                    table[parts[0]] = parts[1]
    except OSError:
        pass
    return table


def reply(status, ctype, text):
    sys.stdout.write("Status: %s\r\nContent-Type: %s\r\n\r\n%s" % (status, ctype, text))


def soap_status(word):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<SOAP-ENV:Envelope xmlns:SOAP-ENV="%s"><SOAP-ENV:Body>'
            '<ns1:contentCheckResponse xmlns:ns1="Content"><return><i>'
            '<requestEntryID>0</requestEntryID><status>%s</status>'
            '</i></return></ns1:contentCheckResponse></SOAP-ENV:Body></SOAP-ENV:Envelope>\n'
            % (ENV, word))


def main():
    path = "/" + os.path.basename(os.environ.get("SCRIPT_NAME", ""))
    length = int(os.environ.get("CONTENT_LENGTH") or 0)
    raw = sys.stdin.buffer.read(length)
    record = {"method": os.environ.get("REQUEST_METHOD"), "path": path,
              "soapaction": os.environ.get("HTTP_SOAPACTION"), "accept": os.environ.get("HTTP_ACCEPT"),
              "body": raw.decode("latin-1")}
    mode = None
    try:
        expect(record["method"] == "POST", "method")
        if path == "/Content":
            expect(record["soapaction"] == '"Content#contentCheck"', "SOAPAction")
            record.update(check_content(None, raw))
            mode = answers().get(record["digest"])
        elif path == "/Upload":
            expect(record["soapaction"] == '"Upload#uploadContent"', "SOAPAction")
            record.update(check_upload(raw))
        else:
            raise Bad("path " + path)
        record["ok"] = True
    except (Bad, ET.ParseError) as e:
        record["ok"] = False
        record["why"] = str(e)
    with open(os.path.join(HERE, "records")) as f:
        folder = f.read().strip()
    name = os.path.join(folder, "%.6f-%d.json" % (time.time(), os.getpid()))
    with open(name + ".tmp", "w") as f:
        json.dump(record, f)
    os.rename(name + ".tmp", name)

    if not record["ok"]:
        reply("400 Bad Request", "text/plain", record["why"] + "\n")
    elif path == "/Upload":
        reply("200 OK", "text/xml", soap_status("accepted"))
    elif mode == "error":
        reply("500 Internal Server Error", "text/plain", "broken\n")
    elif mode == "page":
        reply("200 OK", "text/html", "<html><body><p>status: found<br></body></html>\n")
    elif mode == "spaced":
        reply("200 OK", "text/xml", soap_status("  FOUND "))
    elif mode == "found":
        reply("200 OK", "text/xml", soap_status("found"))
    else:
        reply("200 OK", "text/xml", soap_status("notfound"))


main()
