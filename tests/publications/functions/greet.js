{Tomeric Function}
Language=JavaScript
Param=[Name]|Text
Param=[Out]|Variable
{End}
var greeting = "Hello " + "[Name]".toUpperCase();
Publication.qxSetVar("[Out]", greeting);
Publication.qxExecAction('SetVar "[JsRan]" "' + Publication.qxGetVar("[Out]").length + '"');
