<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>Sevrith 登录</title>
<!-- The stand-in operator's login page. Its contract with the program: the colour #FEFEFE is
     see-through (the login picture shows there), the box 739..786 x 93..114 holds the page's
     own close control, and the page ends the login with app: commands. -->
<style>
  html, body { margin: 0; padding: 0; width: 800px; height: 540px; overflow: hidden;
               background: #FEFEFE; font: 14px "Microsoft YaHei", sans-serif; }
  #panel { position: absolute; left: 250px; top: 150px; width: 300px; height: 250px;
           background: #fff8ee; border: 2px solid #b08a3a; border-radius: 8px; }
  #panel h1 { margin: 16px 0 8px; font-size: 18px; text-align: center; color: #8a1c1c; }
  #panel label { display: block; margin: 8px 24px 2px; }
  #panel input, #panel select { width: 250px; margin: 0 24px; }
  #panel button { margin: 14px 24px 0; width: 250px; height: 30px; }
  #close { position: absolute; left: 739px; top: 93px; width: 48px; height: 22px;
           background: #8a1c1c; color: #fff; border: 0; font-size: 12px; }
  #mini { position: absolute; left: 690px; top: 93px; width: 44px; height: 22px;
          background: #b08a3a; color: #fff; border: 0; font-size: 12px; }
</style>
<script>
  // LOGIN is server + "服-" + "《game》" zone + "-" + account, as the operator's pages send it.
  function login() {
    var server = document.getElementById('server').value;
    var account = document.getElementById('account').value;
    var game = 'http://' + location.host + '/game/play.htm?user=' + encodeURIComponent(account);
    location.href = 'app://loadgame|S' + server + '服-《Sevrith》双线一区-' + encodeURIComponent(account) + '|' + game;
    return false;
  }
</script>
</head>
<body>
<button id="mini" onclick="location.href='app://minimize'">最小化</button>
<button id="close" onclick="location.href='app://exitgame'">关闭</button>
<form id="panel" onsubmit="return login()">
  <h1>Sevrith 登录</h1>
  <label for="server">服务器</label>
  <select id="server"><option value="1">1服</option><option value="2">2服</option><option value="12">12服</option></select>
  <label for="account">账号</label>
  <input id="account" value="player">
  <label for="password">密码</label>
  <input id="password" type="password">
  <button type="submit">登录</button>
</form>
</body>
</html>
